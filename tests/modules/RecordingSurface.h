// A surface for service tests: records the drawing, font and texture calls
// the scheme service makes and answers with fixed geometry. Everything that
// needs a window does nothing.
#pragma once

#include <string>
#include <vector>

#include "services/ISurface.h"

namespace testsupport {

class RecordingSurface final : public vgui2::ISurface {
public:
    using VPANEL = vgui2::VPANEL;
    using HFont = vgui2::HFont;
    using HTexture = vgui2::HTexture;
    using HCursor = vgui2::HCursor;
    using Color = vgui2::Color;
    using wchar = vgui2::wchar;

    struct Rect {
        Color color;
        int x0, y0, x1, y1;
        bool operator==(const Rect&) const = default;
    };
    struct GlyphSet {
        HFont font;
        std::string name;
        int tall, weight, flags;
    };

    // What the fake answers.
    int screenWide = 1024;
    int screenTall = 768;
    std::string language;
    bool acceptGlyphSets = true;
    std::vector<std::string> loadableTextures;  // file names DrawSetTextureFile accepts
    int textureWide = 16;
    int textureTall = 12;

    // What was asked of it.
    std::vector<Rect> filledRects;
    std::vector<Rect> texturedRects;
    std::vector<GlyphSet> glyphSets;
    std::vector<std::string> customFontFiles;
    int fontsCreated = 0;
    int texturesCreated = 0;

    void Shutdown() override {}
    void RunFrame() override {}
    void SetEmbeddedPanel(VPANEL) override {}
    VPANEL GetEmbeddedPanel() override { return vgui2::kNoPanel; }
    void PushMakeCurrent(VPANEL, bool) override {}
    void PopMakeCurrent(VPANEL) override {}
    void DrawSetColor(Color color) override { m_color = color; }
    void DrawFilledRect(int x0, int y0, int x1, int y1) override { filledRects.push_back({m_color, x0, y0, x1, y1}); }
    void DrawOutlinedRect(int, int, int, int) override {}
    void DrawLine(int, int, int, int) override {}
    void DrawPolyLine(const int*, const int*, int) override {}
    void DrawSetTextFont(HFont) override {}
    void DrawSetTextColor(Color) override {}
    void DrawSetTextPos(int, int) override {}
    void DrawGetTextPos(int& x, int& y) override { x = y = 0; }
    void DrawPrintText(const wchar*, int) override {}
    void DrawUnicodeChar(wchar) override {}
    void DrawFlushText() override {}
    HTexture CreateNewTextureID(bool) override { return ++texturesCreated; }
    bool DrawSetTextureFile(HTexture, const char* fileName, bool, bool) override {
        for (const std::string& name : loadableTextures) {
            if (name == fileName) {
                return true;
            }
        }
        return false;
    }
    void DrawSetTextureRGBA(HTexture, const unsigned char*, int, int) override {}
    void DrawSetTexture(HTexture) override {}
    void DrawGetTextureSize(HTexture, int& wide, int& tall) override {
        wide = textureWide;
        tall = textureTall;
    }
    void DrawTexturedRect(int x0, int y0, int x1, int y1) override {
        texturedRects.push_back({m_color, x0, y0, x1, y1});
    }
    bool IsTextureIDValid(HTexture id) override { return id > 0 && id <= texturesCreated; }
    void CreatePopup(VPANEL, bool, bool, bool, bool, bool) override {}
    bool RecreateContext(VPANEL) override { return false; }
    void ReleasePanel(VPANEL) override {}
    void MovePopupToFront(VPANEL) override {}
    void MovePopupToBack(VPANEL) override {}
    int GetPopupCount() override { return 0; }
    VPANEL GetPopup(int) override { return vgui2::kNoPanel; }
    bool ShouldPaintChildPanel(VPANEL) override { return true; }
    void SetPanelVisible(VPANEL, bool) override {}
    void SetMinimized(VPANEL, bool) override {}
    bool IsMinimized(VPANEL) override { return false; }
    void FlashWindow(VPANEL, bool) override {}
    void SetTitle(VPANEL, const wchar*) override {}
    void SetAsTopMost(VPANEL, bool) override {}
    void SetAsToolBar(VPANEL, bool) override {}
    void SetTopLevelFocus(VPANEL) override {}
    VPANEL GetTopmostPopup() override { return vgui2::kNoPanel; }
    bool HasFocus() override { return false; }
    void Invalidate(VPANEL) override {}
    void SolveTraverse(VPANEL, bool) override {}
    void PaintTraverse(VPANEL) override {}
    void SwapBuffers(VPANEL) override {}
    void ApplyChanges() override {}
    bool IsWithin(int, int) override { return false; }
    void GetScreenSize(int& wide, int& tall) override {
        wide = screenWide;
        tall = screenTall;
    }
    void GetWorkspaceBounds(int& x, int& y, int& wide, int& tall) override {
        x = y = 0;
        wide = screenWide;
        tall = screenTall;
    }
    bool SupportsFeature(SurfaceFeature) override { return false; }
    HFont CreateFont() override { return static_cast<HFont>(++fontsCreated); }
    bool SetFontGlyphSet(HFont font, const char* fontName, int tall, int weight, int, int, int flags) override {
        glyphSets.push_back({font, fontName ? fontName : "", tall, weight, flags});
        return acceptGlyphSets;
    }
    bool AddCustomFontFile(const char* fontFileName) override {
        customFontFiles.emplace_back(fontFileName);
        return true;
    }
    int GetFontTall(HFont) override { return 0; }
    void GetCharABCwide(HFont, int, int& a, int& b, int& c) override { a = b = c = 0; }
    int GetCharacterWidth(HFont, int) override { return 0; }
    void GetTextSize(HFont, const wchar*, int& wide, int& tall) override { wide = tall = 0; }
    void SetCursor(HCursor) override {}
    bool IsCursorVisible() override { return true; }
    void SurfaceGetCursorPos(int& x, int& y) override { x = y = 0; }
    void SurfaceSetCursorPos(int, int) override {}
    void EnableMouseCapture(VPANEL, bool) override {}
    void PlaySound(const char*) override {}
    void SetLanguage(const char* newLanguage) override { language = newLanguage ? newLanguage : ""; }
    const char* GetLanguage() override { return language.c_str(); }
    bool SaveScreenshot(VPANEL, const char*) override { return false; }

private:
    Color m_color;
};

}  // namespace testsupport
