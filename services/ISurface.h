// The surface service "VGUI_Surface026": native windows for popup panels,
// drawing (colours, rectangles, lines, text, textures), fonts, cursor
// shapes, screen and work-area geometry, and the GUI language.
#pragma once

#include "services/VGuiTypes.h"

namespace vgui2 {

inline constexpr const char* VGUI_SURFACE_INTERFACE_VERSION = "VGUI_Surface026";

class ISurface {
public:
    enum SurfaceFeature {
        ANTIALIASED_FONTS = 1,
        DROPSHADOW_FONTS = 2,
        ESCAPE_KEY = 3,
        OPENING_NEW_HTML_WINDOWS = 4,
        FRAME_MINIMIZE_MAXIMIZE = 5,
        OUTLINE_FONTS = 6,
        DIRECT_HWND_RENDER = 7,
    };

    enum FontFlags {
        FONTFLAG_NONE = 0,
        FONTFLAG_ITALIC = 0x001,
        FONTFLAG_UNDERLINE = 0x002,
        FONTFLAG_STRIKEOUT = 0x004,
        FONTFLAG_SYMBOL = 0x008,
        FONTFLAG_ANTIALIAS = 0x010,
        FONTFLAG_GAUSSIANBLUR = 0x020,
        FONTFLAG_ROTARY = 0x040,
        FONTFLAG_DROPSHADOW = 0x080,
        FONTFLAG_ADDITIVE = 0x100,
        FONTFLAG_OUTLINE = 0x200,
    };

    virtual void Shutdown() = 0;
    virtual void RunFrame() = 0;

    virtual void SetEmbeddedPanel(VPANEL panel) = 0;
    virtual VPANEL GetEmbeddedPanel() = 0;

    // Painting: every draw call between PushMakeCurrent and PopMakeCurrent is
    // relative to that panel and clipped to its clip rectangle.
    virtual void PushMakeCurrent(VPANEL panel, bool useInsets) = 0;
    virtual void PopMakeCurrent(VPANEL panel) = 0;
    virtual void DrawSetColor(Color color) = 0;
    virtual void DrawFilledRect(int x0, int y0, int x1, int y1) = 0;
    virtual void DrawOutlinedRect(int x0, int y0, int x1, int y1) = 0;
    virtual void DrawLine(int x0, int y0, int x1, int y1) = 0;
    virtual void DrawPolyLine(const int* px, const int* py, int numPoints) = 0;
    virtual void DrawSetTextFont(HFont font) = 0;
    virtual void DrawSetTextColor(Color color) = 0;
    virtual void DrawSetTextPos(int x, int y) = 0;
    virtual void DrawGetTextPos(int& x, int& y) = 0;
    virtual void DrawPrintText(const wchar* text, int textLength) = 0;
    virtual void DrawUnicodeChar(wchar ch) = 0;
    virtual void DrawFlushText() = 0;

    // Textures: images loaded from "resource/*.png" through the file system.
    virtual HTexture CreateNewTextureID(bool procedural = false) = 0;
    virtual bool DrawSetTextureFile(HTexture id, const char* fileName, bool hardwareFilter, bool forceReload) = 0;
    virtual void DrawSetTextureRGBA(HTexture id, const unsigned char* rgba, int wide, int tall) = 0;
    virtual void DrawSetTexture(HTexture id) = 0;
    virtual void DrawGetTextureSize(HTexture id, int& wide, int& tall) = 0;
    virtual void DrawTexturedRect(int x0, int y0, int x1, int y1) = 0;
    virtual bool IsTextureIDValid(HTexture id) = 0;

    // Native windows for top-level popup panels.
    virtual void CreatePopup(VPANEL panel, bool minimized, bool showTaskbarIcon = true, bool disabled = false,
                             bool mouseInput = true, bool keyboardInput = true) = 0;
    virtual bool RecreateContext(VPANEL panel) = 0;
    virtual void ReleasePanel(VPANEL panel) = 0;
    virtual void MovePopupToFront(VPANEL panel) = 0;
    virtual void MovePopupToBack(VPANEL panel) = 0;
    virtual int GetPopupCount() = 0;
    virtual VPANEL GetPopup(int index) = 0;
    virtual bool ShouldPaintChildPanel(VPANEL childPanel) = 0;
    virtual void SetPanelVisible(VPANEL panel, bool state) = 0;
    virtual void SetMinimized(VPANEL panel, bool state) = 0;
    virtual bool IsMinimized(VPANEL panel) = 0;
    virtual void FlashWindow(VPANEL panel, bool state) = 0;
    virtual void SetTitle(VPANEL panel, const wchar* title) = 0;
    virtual void SetAsTopMost(VPANEL panel, bool state) = 0;
    virtual void SetAsToolBar(VPANEL panel, bool state) = 0;
    virtual void SetTopLevelFocus(VPANEL panel) = 0;
    virtual VPANEL GetTopmostPopup() = 0;
    virtual bool HasFocus() = 0;
    virtual void Invalidate(VPANEL panel) = 0;
    virtual void SolveTraverse(VPANEL panel, bool forceApplySchemeSettings = false) = 0;
    virtual void PaintTraverse(VPANEL panel) = 0;
    virtual void SwapBuffers(VPANEL panel) = 0;
    virtual void ApplyChanges() = 0;
    virtual bool IsWithin(int x, int y) = 0;

    virtual void GetScreenSize(int& wide, int& tall) = 0;
    virtual void GetWorkspaceBounds(int& x, int& y, int& wide, int& tall) = 0;
    virtual bool SupportsFeature(SurfaceFeature feature) = 0;

    // Fonts, described by the scheme and rendered by the surface.
    virtual HFont CreateFont() = 0;
    virtual bool SetFontGlyphSet(HFont font, const char* fontName, int tall, int weight, int blur, int scanlines,
                                 int flags) = 0;
    virtual bool AddCustomFontFile(const char* fontFileName) = 0;
    virtual int GetFontTall(HFont font) = 0;
    virtual void GetCharABCwide(HFont font, int ch, int& a, int& b, int& c) = 0;
    virtual int GetCharacterWidth(HFont font, int ch) = 0;
    virtual void GetTextSize(HFont font, const wchar* text, int& wide, int& tall) = 0;

    // Pointer.
    virtual void SetCursor(HCursor cursor) = 0;
    virtual bool IsCursorVisible() = 0;
    virtual void SurfaceGetCursorPos(int& x, int& y) = 0;
    virtual void SurfaceSetCursorPos(int x, int y) = 0;
    virtual void EnableMouseCapture(VPANEL panel, bool state) = 0;

    virtual void PlaySound(const char* fileName) = 0;

    virtual void SetLanguage(const char* language) = 0;
    virtual const char* GetLanguage() = 0;

    // Writes the native window that shows the panel to a PNG file.
    virtual bool SaveScreenshot(VPANEL panel, const char* fileName) = 0;

protected:
    ~ISurface() = default;
};

}  // namespace vgui2
