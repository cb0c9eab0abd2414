// The surface service over SDL2. Every top-level popup panel (frames, menus,
// the tooltip) gets its own borderless SDL window with a software renderer,
// kept at the panel's screen position and size; the toolkit draws title
// bars and borders itself. Each frame the surface pumps SDL's events into
// the input service, follows the popups' geometry and visibility, and
// repaints only windows that were damaged. Drawing, fonts and textures are
// delegated to the painter, the font manager and the texture store.
//
// What it leaves out: sounds are silent; there is no hardware rendering,
// no drop-shadow or outline text, no per-rectangle damage (a damaged window
// is redrawn whole) and no tool-bar windows distinct from ordinary ones.
#pragma once

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "modules/updvgui2/FontManager.h"
#include "modules/updvgui2/PopupWindow.h"
#include "modules/updvgui2/SdlEventTranslation.h"
#include "modules/updvgui2/SdlEventWaiter.h"
#include "modules/updvgui2/SurfacePainter.h"
#include "modules/updvgui2/TextureStore.h"
#include "services/ISurface.h"

class CSurface final : public vgui2::ISurface {
public:
    CSurface();
    ~CSurface();

    // Brings SDL's video, fonts and images up and registers the surface and
    // its event wait with the module. Without a display (and without an
    // explicit SDL_VIDEODRIVER) it fails with one line on standard error.
    // Calling it again after success does nothing.
    bool Init();
    bool IsInitialized() const { return m_initialized; }

    void Shutdown() override;
    void RunFrame() override;

    void SetEmbeddedPanel(vgui2::VPANEL panel) override;
    vgui2::VPANEL GetEmbeddedPanel() override;

    void PushMakeCurrent(vgui2::VPANEL panel, bool useInsets) override;
    void PopMakeCurrent(vgui2::VPANEL panel) override;
    void DrawSetColor(vgui2::Color color) override;
    void DrawFilledRect(int x0, int y0, int x1, int y1) override;
    void DrawOutlinedRect(int x0, int y0, int x1, int y1) override;
    void DrawLine(int x0, int y0, int x1, int y1) override;
    void DrawPolyLine(const int* px, const int* py, int numPoints) override;
    void DrawSetTextFont(vgui2::HFont font) override;
    void DrawSetTextColor(vgui2::Color color) override;
    void DrawSetTextPos(int x, int y) override;
    void DrawGetTextPos(int& x, int& y) override;
    void DrawPrintText(const vgui2::wchar* text, int textLength) override;
    void DrawUnicodeChar(vgui2::wchar ch) override;
    void DrawFlushText() override;

    vgui2::HTexture CreateNewTextureID(bool procedural = false) override;
    bool DrawSetTextureFile(vgui2::HTexture id, const char* fileName, bool hardwareFilter, bool forceReload) override;
    void DrawSetTextureRGBA(vgui2::HTexture id, const unsigned char* rgba, int wide, int tall) override;
    void DrawSetTexture(vgui2::HTexture id) override;
    void DrawGetTextureSize(vgui2::HTexture id, int& wide, int& tall) override;
    void DrawTexturedRect(int x0, int y0, int x1, int y1) override;
    bool IsTextureIDValid(vgui2::HTexture id) override;

    void CreatePopup(vgui2::VPANEL panel, bool minimized, bool showTaskbarIcon = true, bool disabled = false,
                     bool mouseInput = true, bool keyboardInput = true) override;
    bool RecreateContext(vgui2::VPANEL panel) override;
    void ReleasePanel(vgui2::VPANEL panel) override;
    void MovePopupToFront(vgui2::VPANEL panel) override;
    void MovePopupToBack(vgui2::VPANEL panel) override;
    int GetPopupCount() override;
    vgui2::VPANEL GetPopup(int index) override;
    bool ShouldPaintChildPanel(vgui2::VPANEL childPanel) override;
    void SetPanelVisible(vgui2::VPANEL panel, bool state) override;
    void SetMinimized(vgui2::VPANEL panel, bool state) override;
    bool IsMinimized(vgui2::VPANEL panel) override;
    void FlashWindow(vgui2::VPANEL panel, bool state) override;
    void SetTitle(vgui2::VPANEL panel, const vgui2::wchar* title) override;
    void SetAsTopMost(vgui2::VPANEL panel, bool state) override;
    void SetAsToolBar(vgui2::VPANEL panel, bool state) override;
    void SetTopLevelFocus(vgui2::VPANEL panel) override;
    vgui2::VPANEL GetTopmostPopup() override;
    bool HasFocus() override;
    void Invalidate(vgui2::VPANEL panel) override;
    void SolveTraverse(vgui2::VPANEL panel, bool forceApplySchemeSettings = false) override;
    void PaintTraverse(vgui2::VPANEL panel) override;
    void SwapBuffers(vgui2::VPANEL panel) override;
    void ApplyChanges() override;
    bool IsWithin(int x, int y) override;

    void GetScreenSize(int& wide, int& tall) override;
    void GetWorkspaceBounds(int& x, int& y, int& wide, int& tall) override;
    bool SupportsFeature(SurfaceFeature feature) override;

    vgui2::HFont CreateFont() override;
    bool SetFontGlyphSet(vgui2::HFont font, const char* fontName, int tall, int weight, int blur, int scanlines,
                         int flags) override;
    bool AddCustomFontFile(const char* fontFileName) override;
    int GetFontTall(vgui2::HFont font) override;
    void GetCharABCwide(vgui2::HFont font, int ch, int& a, int& b, int& c) override;
    int GetCharacterWidth(vgui2::HFont font, int ch) override;
    void GetTextSize(vgui2::HFont font, const vgui2::wchar* text, int& wide, int& tall) override;

    void SetCursor(vgui2::HCursor cursor) override;
    bool IsCursorVisible() override;
    void SurfaceGetCursorPos(int& x, int& y) override;
    void SurfaceSetCursorPos(int x, int y) override;
    void EnableMouseCapture(vgui2::VPANEL panel, bool state) override;

    void PlaySound(const char* fileName) override;

    void SetLanguage(const char* language) override;
    const char* GetLanguage() override;

    bool SaveScreenshot(vgui2::VPANEL panel, const char* fileName) override;

    // The native window showing the panel (the popup it lives in), or null.
    CPopupWindow* WindowOf(vgui2::VPANEL panel);

private:
    CPopupWindow* FindPopup(vgui2::VPANEL popup);
    CPopupWindow* FindWindowById(std::uint32_t windowId);
    void SyncWindows();
    void PaintWindow(CPopupWindow& window);
    void Dispatch(const sdlinput::InputAction& action);
    void MovePointer(CPopupWindow* window, int localX, int localY);
    void RequestQuit();
    void FocusFrontmostIfLost();
    // The toolkit's key focus follows the native keyboard focus: a window
    // that gets the keyboard hands it to its frame's focus group (the last
    // focused control, else the first) unless the key focus lies inside it.
    void GiveKeyFocusTo(CPopupWindow& window);
    // After a window closed: a key focus left in a hidden or deleted window
    // goes to the frontmost remaining window that takes keys.
    void RestoreLostKeyFocus();
    // A cheap fingerprint of the geometry and visibility of a popup's tree;
    // a change repaints the window even when no panel asked for it.
    std::size_t LayoutFingerprint(vgui2::VPANEL popup);
    void ReleaseCursors();

    bool m_initialized = false;
    bool m_ownsImageLibrary = false;
    CFontManager m_fonts;
    CTextureStore m_textures;
    CSurfacePainter m_painter;
    CSdlEventWaiter m_waiter;
    std::vector<std::unique_ptr<CPopupWindow>> m_popups;  // back to front
    std::unordered_map<vgui2::VPANEL, std::size_t> m_fingerprints;
    bool m_keyFocusMayBeLost = false;
    vgui2::VPANEL m_embeddedPanel = vgui2::kNoPanel;
    std::string m_language;
    int m_cursorX = 0;
    int m_cursorY = 0;
    bool m_cursorKnown = false;
    vgui2::HCursor m_cursorShape = vgui2::dc_arrow;
    std::unordered_map<vgui2::HCursor, SDL_Cursor*> m_cursors;
    int m_quitRequests = 0;
};

// The module's one instance, with its initialisation.
CSurface& TheSurfaceImpl();
