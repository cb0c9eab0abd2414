// One native window: a borderless SDL window with a software renderer that
// shows one top-level popup panel. It keeps the geometry and state last
// handed to SDL, so the surface only calls SDL for real changes, and the
// renderer textures made from glyphs and images, which belong to this
// window's renderer alone.
#pragma once

#include <SDL2/SDL.h>

#include <cstdint>
#include <string>
#include <unordered_map>

#include "services/VGuiTypes.h"

class CFontManager;
class CTextureStore;
struct FontGlyph;

struct PopupOptions {
    bool showTaskbarIcon = true;
    bool mouseInput = true;
    bool keyboardInput = true;
};

class CPopupWindow {
public:
    CPopupWindow(vgui2::VPANEL panel, const PopupOptions& options);
    ~CPopupWindow();
    CPopupWindow(const CPopupWindow&) = delete;
    CPopupWindow& operator=(const CPopupWindow&) = delete;

    // Creates the hidden SDL window and its renderer; false with the reason
    // on standard error.
    bool Create(int x, int y, int wide, int tall);

    vgui2::VPANEL Panel() const { return m_panel; }
    const PopupOptions& Options() const { return m_options; }
    SDL_Window* Window() const { return m_window; }
    SDL_Renderer* Renderer() const { return m_renderer; }
    std::uint32_t WindowId() const { return m_windowId; }

    // Hands changed geometry and visibility to SDL. A window of no area is
    // hidden, as SDL cannot show one. Returns whether the window was hidden
    // by this call.
    bool Sync(int x, int y, int wide, int tall, bool visible);
    bool IsShown() const { return m_shown; }
    int X() const { return m_x; }
    int Y() const { return m_y; }
    int Wide() const { return m_wide; }
    int Tall() const { return m_tall; }
    bool Contains(int screenX, int screenY) const;

    void Damage() { m_damaged = true; }
    bool IsDamaged() const { return m_damaged; }
    void BeginPaint();
    void EndPaint();

    void SetTitle(const std::string& utf8);
    void SetMinimized(bool state);
    bool IsMinimized() const { return m_minimized; }
    void NoteMinimized(bool state) { m_minimized = state; }
    void Flash(bool state);
    void SetTopMost(bool state);
    // Brings the window to the front and gives it the keyboard when it takes
    // keys; without a window manager nobody else moves the X focus.
    void Raise();
    void RequestRaiseWhenShown() { m_raiseWhenShown = true; }

    // The renderer's copy of a glyph or image, made on first use.
    SDL_Texture* GlyphTexture(CFontManager& fonts, vgui2::HFont font, char32_t ch, const FontGlyph& glyph);
    SDL_Texture* ImageTexture(const CTextureStore& store, vgui2::HTexture id);

    // The current pixels as an RGBA surface owned by the caller, or null.
    SDL_Surface* ReadPixels();

private:
    void DropTextures();

    vgui2::VPANEL m_panel;
    PopupOptions m_options;
    SDL_Window* m_window = nullptr;
    SDL_Renderer* m_renderer = nullptr;
    std::uint32_t m_windowId = 0;
    int m_x = 0;
    int m_y = 0;
    int m_wide = 0;
    int m_tall = 0;
    bool m_shown = false;
    bool m_minimized = false;
    bool m_damaged = true;
    bool m_raiseWhenShown = false;

    unsigned m_glyphGeneration = 0;
    std::unordered_map<std::uint64_t, SDL_Texture*> m_glyphTextures;
    struct CachedImage {
        SDL_Texture* texture = nullptr;
        unsigned version = 0;
    };
    std::unordered_map<vgui2::HTexture, CachedImage> m_imageTextures;
};
