// Drawing into a popup window: the draw state (colours, text font and pen,
// texture) and a stack of contexts, each an origin and a clip rectangle in
// window coordinates, so that every call draws relative to the panel being
// painted and never outside it. It knows nothing of panels; the surface
// turns panels into contexts. Glyphs of the symbol face are drawn as simple
// shapes (arrows, box, tick, caption-button marks) instead of a font.
#pragma once

#include <SDL2/SDL.h>

#include <vector>

#include "services/VGuiTypes.h"

class CFontManager;
class CPopupWindow;
class CTextureStore;

class CSurfacePainter {
public:
    CSurfacePainter(CFontManager& fonts, CTextureStore& textures);

    void PushContext(CPopupWindow* window, int originX, int originY, const SDL_Rect& clip);
    void PopContext();
    bool HasContext() const { return !m_contexts.empty(); }
    void Reset();

    void SetColor(vgui2::Color color) { m_color = color; }
    void FilledRect(int x0, int y0, int x1, int y1);
    void OutlinedRect(int x0, int y0, int x1, int y1);
    void Line(int x0, int y0, int x1, int y1);
    void PolyLine(const int* px, const int* py, int count);

    void SetTextFont(vgui2::HFont font) { m_textFont = font; }
    void SetTextColor(vgui2::Color color) { m_textColor = color; }
    void SetTextPos(int x, int y);
    void GetTextPos(int& x, int& y) const;
    void PrintText(const vgui2::wchar* text, int length);
    void UnicodeChar(char32_t ch);

    void SetTexture(vgui2::HTexture id) { m_texture = id; }
    void TexturedRect(int x0, int y0, int x1, int y1);

private:
    struct Context {
        CPopupWindow* window;
        int originX;
        int originY;
        SDL_Rect clip;
    };
    // The renderer to draw with, set up for the top context; null when there
    // is nothing to draw into or nothing visible.
    SDL_Renderer* Begin(vgui2::Color color);
    void ApplyTop();
    void DrawSymbol(SDL_Renderer* renderer, char32_t ch, int x, int y, int size);

    CFontManager& m_fonts;
    CTextureStore& m_textures;
    std::vector<Context> m_contexts;
    vgui2::Color m_color{255, 255, 255, 255};
    vgui2::Color m_textColor{255, 255, 255, 255};
    vgui2::HFont m_textFont = 0;
    int m_textX = 0;
    int m_textY = 0;
    vgui2::HTexture m_texture = -1;
};
