#include "modules/updvgui2/Surface.h"

#include <SDL2/SDL_image.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>

#include "modules/updvgui2/ModuleServices.h"
#include "modules/updvgui2/PanelService.h"
#include "platform/Display.h"
#include "vgui2/KeyValues.h"
#include "vgui2/TextConvert.h"

using vgui2::HCursor;
using vgui2::HFont;
using vgui2::HTexture;
using vgui2::kNoPanel;
using vgui2::VPANEL;

namespace {

// Titles longer than this are cut; the toolkit hands at most 128 characters.
constexpr int kTitleBytes = 1024;

bool EnvironmentSet(const char* name) {
    const char* value = std::getenv(name);
    return value && *value;
}

bool IsHeadlessDriver(const char* driver) {
    return driver && (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0);
}

SDL_SystemCursor SystemCursorFor(HCursor shape) {
    switch (shape) {
        case vgui2::dc_ibeam:
            return SDL_SYSTEM_CURSOR_IBEAM;
        case vgui2::dc_hourglass:
            return SDL_SYSTEM_CURSOR_WAIT;
        case vgui2::dc_crosshair:
            return SDL_SYSTEM_CURSOR_CROSSHAIR;
        case vgui2::dc_sizenwse:
            return SDL_SYSTEM_CURSOR_SIZENWSE;
        case vgui2::dc_sizenesw:
            return SDL_SYSTEM_CURSOR_SIZENESW;
        case vgui2::dc_sizewe:
            return SDL_SYSTEM_CURSOR_SIZEWE;
        case vgui2::dc_sizens:
            return SDL_SYSTEM_CURSOR_SIZENS;
        case vgui2::dc_sizeall:
            return SDL_SYSTEM_CURSOR_SIZEALL;
        case vgui2::dc_no:
            return SDL_SYSTEM_CURSOR_NO;
        case vgui2::dc_hand:
            return SDL_SYSTEM_CURSOR_HAND;
        default:
            return SDL_SYSTEM_CURSOR_ARROW;
    }
}

void HashCombine(std::size_t& seed, std::size_t value) {
    seed ^= value + 0x9e3779b97f4a7c15ull + (seed << 6) + (seed >> 2);
}

}  // namespace

CSurface& TheSurfaceImpl() {
    static CSurface instance;
    return instance;
}

vgui2::ISurface& TheSurface() { return TheSurfaceImpl(); }

CSurface::CSurface() : m_painter(m_fonts, m_textures) {}

// At process exit after the display was lost, the windows die with the
// connection; destroying them would hang, so they are let go.
CSurface::~CSurface() {
    if (!platform::DisplayLost()) {
        Shutdown();
        return;
    }
    for (std::unique_ptr<CPopupWindow>& window : m_popups) {
        static_cast<void>(window.release());
    }
}

bool CSurface::Init() {
    if (m_initialized) {
        return true;
    }
    // Without a display SDL would quietly pick its offscreen driver and the
    // program would run where nobody can see it; headless drivers are only
    // used when they are asked for by name.
    bool driverRequested = EnvironmentSet("SDL_VIDEODRIVER");
    const char* displayDrivers = platform::DisplayDrivers();
    if (!driverRequested && !displayDrivers) {
        std::fprintf(stderr, "updvgui2: no display to show windows on (DISPLAY is not set)\n");
        return false;
    }
    if (!driverRequested) {
        SDL_SetHint(SDL_HINT_VIDEODRIVER, displayDrivers);
    }
    // The software renderer draws straight into the window; with framebuffer
    // acceleration SDL would go through software OpenGL at ten times the cost.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    SDL_SetHint(SDL_HINT_RENDER_DRIVER, "software");
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    // Closing a window is the toolkit's decision (a running update asks
    // first); SDL must not turn the last close into a quit of its own.
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        std::fprintf(stderr, "updvgui2: cannot open the display: %s\n", SDL_GetError());
        return false;
    }
    const char* driver = SDL_GetCurrentVideoDriver();
    if (driver && std::strcmp(driver, "x11") == 0) {
        platform::WatchForDisplayLoss();
    }
    if (!driverRequested && IsHeadlessDriver(driver)) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        std::fprintf(stderr, "updvgui2: cannot open the display \"%s\"\n", platform::DisplayName().c_str());
        return false;
    }
    if (!m_fonts.Init() || !m_waiter.Activate()) {
        m_fonts.Shutdown();
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return false;
    }
    m_ownsImageLibrary = (IMG_Init(IMG_INIT_PNG) & IMG_INIT_PNG) != 0;
    m_initialized = true;
    m_quitRequests = 0;
    SetEventWaiter(&m_waiter);
    SetModuleSurface(this);
    return true;
}

void CSurface::Shutdown() {
    if (!m_initialized) {
        return;
    }
    SetModuleSurface(nullptr);
    SetEventWaiter(nullptr);
    m_waiter.Deactivate();
    m_painter.Reset();
    m_popups.clear();
    m_fingerprints.clear();
    ReleaseCursors();
    m_textures.Clear();
    m_fonts.Shutdown();
    if (m_ownsImageLibrary) {
        IMG_Quit();
        m_ownsImageLibrary = false;
    }
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    m_initialized = false;
}

void CSurface::RunFrame() {
    if (!m_initialized) {
        return;
    }
    // The actions are local: a handler that runs a frame of its own (a
    // nested loop) must not clear the list this frame is walking.
    std::vector<sdlinput::InputAction> actions;
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        if (m_waiter.ConsumeIfWake(event)) {
            continue;
        }
        actions.clear();
        sdlinput::TranslateSdlEvent(event, actions);
        for (const sdlinput::InputAction& action : actions) {
            Dispatch(action);
        }
    }
}

void CSurface::Dispatch(const sdlinput::InputAction& action) {
    using sdlinput::InputKind;
    vgui2::IInput& input = TheInput();
    CPopupWindow* window = FindWindowById(action.windowId);
    switch (action.kind) {
        case InputKind::CursorMoved:
            MovePointer(window, action.x, action.y);
            break;
        case InputKind::MousePressed:
            input.InternalMousePressed(static_cast<vgui2::MouseCode>(action.code));
            break;
        case InputKind::MouseDoublePressed:
            input.InternalMouseDoublePressed(static_cast<vgui2::MouseCode>(action.code));
            break;
        case InputKind::MouseReleased:
            input.InternalMouseReleased(static_cast<vgui2::MouseCode>(action.code));
            break;
        case InputKind::MouseWheeled:
            input.InternalMouseWheeled(action.delta);
            break;
        case InputKind::KeyCodePressed:
            input.InternalKeyCodePressed(static_cast<vgui2::KeyCode>(action.code));
            break;
        case InputKind::KeyCodeTyped:
            input.InternalKeyCodeTyped(static_cast<vgui2::KeyCode>(action.code));
            break;
        case InputKind::KeyCodeReleased:
            input.InternalKeyCodeReleased(static_cast<vgui2::KeyCode>(action.code));
            break;
        case InputKind::KeyTyped:
            input.InternalKeyTyped(action.unichar);
            break;
        case InputKind::WindowExposed:
            if (window) {
                window->Damage();
            }
            break;
        case InputKind::WindowFocusGained:
            if (window && window->IsShown() && window->Options().keyboardInput) {
                GiveKeyFocusTo(*window);
            }
            break;
        case InputKind::WindowMinimized:
        case InputKind::WindowRestored:
            if (window) {
                window->NoteMinimized(action.kind == InputKind::WindowMinimized);
                window->Damage();
            }
            break;
        case InputKind::WindowCloseRequested:
            if (window) {
                TheVGui().PostMessage(window->Panel(), new KeyValues("CloseFrameButtonPressed"), kNoPanel);
            }
            break;
        case InputKind::QuitRequested:
            RequestQuit();
            break;
    }
}

void CSurface::MovePointer(CPopupWindow* window, int localX, int localY) {
    if (!window) {
        return;
    }
    // The toolkit places panels by where it put the window, so the pointer is
    // measured from there too, whatever a window manager may have done.
    int x = window->X() + localX;
    int y = window->Y() + localY;
    if (m_cursorKnown && x == m_cursorX && y == m_cursorY) {
        return;
    }
    m_cursorKnown = true;
    m_cursorX = x;
    m_cursorY = y;
    TheInput().InternalCursorMoved(x, y);
}

// SIGTERM and SIGINT arrive as SDL_QUIT. The first one closes the top-level
// windows as their close buttons would, so the updater can still ask about a
// running update; a second one, or one with no window to close, stops the
// loop so that a terminated process really ends.
void CSurface::RequestQuit() {
    ++m_quitRequests;
    bool posted = false;
    if (m_quitRequests == 1) {
        for (const auto& popup : m_popups) {
            if (popup->IsShown() && popup->Options().showTaskbarIcon) {
                TheVGui().PostMessage(popup->Panel(), new KeyValues("CloseFrameButtonPressed"), kNoPanel);
                posted = true;
            }
        }
    }
    if (!posted) {
        TheVGui().Stop();
    }
}

void CSurface::SetEmbeddedPanel(VPANEL panel) { m_embeddedPanel = panel; }

VPANEL CSurface::GetEmbeddedPanel() { return m_embeddedPanel; }

CPopupWindow* CSurface::FindPopup(VPANEL popup) {
    for (const auto& window : m_popups) {
        if (window->Panel() == popup) {
            return window.get();
        }
    }
    return nullptr;
}

CPopupWindow* CSurface::FindWindowById(std::uint32_t windowId) {
    if (windowId == 0) {
        return nullptr;
    }
    for (const auto& window : m_popups) {
        if (window->WindowId() == windowId) {
            return window.get();
        }
    }
    return nullptr;
}

CPopupWindow* CSurface::WindowOf(VPANEL panel) {
    vgui2::IPanel& panels = ThePanelService();
    while (panel != kNoPanel && !panels.IsPopup(panel)) {
        panel = panels.GetParent(panel);
    }
    return panel == kNoPanel ? nullptr : FindPopup(panel);
}

void CSurface::PushMakeCurrent(VPANEL panel, bool useInsets) {
    vgui2::IPanel& panels = ThePanelService();
    CPopupWindow* window = WindowOf(panel);
    int windowX = 0;
    int windowY = 0;
    if (window) {
        panels.GetAbsPos(window->Panel(), windowX, windowY);
    }
    int x = 0;
    int y = 0;
    panels.GetAbsPos(panel, x, y);
    if (useInsets) {
        int left = 0, top = 0, right = 0, bottom = 0;
        panels.GetInset(panel, left, top, right, bottom);
        x += left;
        y += top;
    }
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    panels.GetClipRect(panel, x0, y0, x1, y1);
    SDL_Rect clip{x0 - windowX, y0 - windowY, x1 - x0, y1 - y0};
    m_painter.PushContext(window, x - windowX, y - windowY, clip);
}

void CSurface::PopMakeCurrent(VPANEL) { m_painter.PopContext(); }

void CSurface::DrawSetColor(vgui2::Color color) { m_painter.SetColor(color); }

void CSurface::DrawFilledRect(int x0, int y0, int x1, int y1) { m_painter.FilledRect(x0, y0, x1, y1); }

void CSurface::DrawOutlinedRect(int x0, int y0, int x1, int y1) { m_painter.OutlinedRect(x0, y0, x1, y1); }

void CSurface::DrawLine(int x0, int y0, int x1, int y1) { m_painter.Line(x0, y0, x1, y1); }

void CSurface::DrawPolyLine(const int* px, const int* py, int numPoints) { m_painter.PolyLine(px, py, numPoints); }

void CSurface::DrawSetTextFont(HFont font) { m_painter.SetTextFont(font); }

void CSurface::DrawSetTextColor(vgui2::Color color) { m_painter.SetTextColor(color); }

void CSurface::DrawSetTextPos(int x, int y) { m_painter.SetTextPos(x, y); }

void CSurface::DrawGetTextPos(int& x, int& y) { m_painter.GetTextPos(x, y); }

void CSurface::DrawPrintText(const vgui2::wchar* text, int textLength) { m_painter.PrintText(text, textLength); }

void CSurface::DrawUnicodeChar(vgui2::wchar ch) { m_painter.UnicodeChar(ch); }

// Characters are drawn as they come; nothing is batched.
void CSurface::DrawFlushText() {}

HTexture CSurface::CreateNewTextureID(bool) { return m_textures.CreateNewTextureID(); }

bool CSurface::DrawSetTextureFile(HTexture id, const char* fileName, bool, bool forceReload) {
    return m_textures.SetTextureFile(id, fileName, forceReload);
}

void CSurface::DrawSetTextureRGBA(HTexture id, const unsigned char* rgba, int wide, int tall) {
    m_textures.SetTextureRGBA(id, rgba, wide, tall);
}

void CSurface::DrawSetTexture(HTexture id) { m_painter.SetTexture(id); }

void CSurface::DrawGetTextureSize(HTexture id, int& wide, int& tall) { m_textures.GetTextureSize(id, wide, tall); }

void CSurface::DrawTexturedRect(int x0, int y0, int x1, int y1) { m_painter.TexturedRect(x0, y0, x1, y1); }

bool CSurface::IsTextureIDValid(HTexture id) { return m_textures.IsValid(id); }

void CSurface::CreatePopup(VPANEL panel, bool minimized, bool showTaskbarIcon, bool disabled, bool mouseInput,
                           bool keyboardInput) {
    if (panel == kNoPanel || !Init()) {
        return;
    }
    vgui2::IPanel& panels = ThePanelService();
    panels.SetPopup(panel, true);
    panels.SetMouseInputEnabled(panel, mouseInput);
    panels.SetKeyBoardInputEnabled(panel, keyboardInput);
    if (disabled) {
        panels.SetEnabled(panel, false);
    }
    if (FindPopup(panel)) {
        return;
    }
    auto window = std::make_unique<CPopupWindow>(panel, PopupOptions{showTaskbarIcon, mouseInput, keyboardInput});
    int x = 0, y = 0, wide = 0, tall = 0;
    panels.GetAbsPos(panel, x, y);
    panels.GetSize(panel, wide, tall);
    if (!window->Create(x, y, wide, tall)) {
        return;
    }
    if (minimized) {
        window->SetMinimized(true);
    }
    m_popups.push_back(std::move(window));
}

bool CSurface::RecreateContext(VPANEL panel) {
    if (CPopupWindow* window = FindPopup(panel)) {
        window->Damage();
        return true;
    }
    return false;
}

void CSurface::ReleasePanel(VPANEL panel) {
    if (panel == m_embeddedPanel) {
        m_embeddedPanel = kNoPanel;
    }
    m_fingerprints.erase(panel);
    auto found = std::find_if(m_popups.begin(), m_popups.end(),
                              [panel](const auto& window) { return window->Panel() == panel; });
    if (found == m_popups.end()) {
        return;
    }
    bool wasShown = (*found)->IsShown();
    m_popups.erase(found);
    if (wasShown) {
        FocusFrontmostIfLost();
        // The panel is being deleted right now; its key focus is handed on
        // in the next frame's window sync, outside the deletion.
        m_keyFocusMayBeLost = true;
    }
}

void CSurface::MovePopupToFront(VPANEL panel) {
    auto found = std::find_if(m_popups.begin(), m_popups.end(),
                              [panel](const auto& window) { return window->Panel() == panel; });
    if (found == m_popups.end()) {
        return;
    }
    std::rotate(found, found + 1, m_popups.end());
    m_popups.back()->Raise();
}

void CSurface::MovePopupToBack(VPANEL panel) {
    auto found = std::find_if(m_popups.begin(), m_popups.end(),
                              [panel](const auto& window) { return window->Panel() == panel; });
    if (found == m_popups.end()) {
        return;
    }
    std::rotate(m_popups.begin(), found, found + 1);
    // SDL cannot lower a window, so everything in front of it is raised in
    // order instead.
    for (std::size_t i = 1; i < m_popups.size(); ++i) {
        if (m_popups[i]->IsShown()) {
            SDL_RaiseWindow(m_popups[i]->Window());
        }
    }
}

int CSurface::GetPopupCount() { return static_cast<int>(m_popups.size()); }

VPANEL CSurface::GetPopup(int index) {
    if (index < 0 || index >= static_cast<int>(m_popups.size())) {
        return kNoPanel;
    }
    return m_popups[static_cast<std::size_t>(index)]->Panel();
}

// Popups draw into their own windows in their own pass.
bool CSurface::ShouldPaintChildPanel(VPANEL childPanel) { return !ThePanelService().IsPopup(childPanel); }

// Visibility reaches the window in the frame's sync, once positions are
// settled; showing it here could flash it at a stale place.
void CSurface::SetPanelVisible(VPANEL panel, bool) {
    if (CPopupWindow* window = FindPopup(panel)) {
        window->Damage();
    }
}

void CSurface::SetMinimized(VPANEL panel, bool state) {
    if (CPopupWindow* window = FindPopup(panel)) {
        window->SetMinimized(state);
    }
}

bool CSurface::IsMinimized(VPANEL panel) {
    CPopupWindow* window = FindPopup(panel);
    return window && window->IsMinimized();
}

void CSurface::FlashWindow(VPANEL panel, bool state) {
    if (CPopupWindow* window = FindPopup(panel)) {
        window->Flash(state);
    }
}

void CSurface::SetTitle(VPANEL panel, const vgui2::wchar* title) {
    CPopupWindow* window = FindPopup(panel);
    if (!window) {
        return;
    }
    char utf8[kTitleBytes];
    vgui2::WideToUtf8(title ? title : u"", utf8, sizeof(utf8));
    window->SetTitle(utf8);
}

void CSurface::SetAsTopMost(VPANEL panel, bool state) {
    if (CPopupWindow* window = FindPopup(panel)) {
        window->SetTopMost(state);
    }
}

// SDL fixes a window's taskbar entry when it creates the window; popups that
// should not have one ask for that in CreatePopup.
void CSurface::SetAsToolBar(VPANEL, bool) {}

void CSurface::SetTopLevelFocus(VPANEL panel) {
    if (CPopupWindow* window = WindowOf(panel)) {
        window->Raise();
    }
}

VPANEL CSurface::GetTopmostPopup() {
    for (auto it = m_popups.rbegin(); it != m_popups.rend(); ++it) {
        if ((*it)->IsShown()) {
            return (*it)->Panel();
        }
    }
    return kNoPanel;
}

bool CSurface::HasFocus() {
    SDL_Window* focused = m_initialized ? SDL_GetKeyboardFocus() : nullptr;
    return focused && FindWindowById(SDL_GetWindowID(focused));
}

void CSurface::Invalidate(VPANEL panel) {
    if (CPopupWindow* window = WindowOf(panel)) {
        window->Damage();
    }
}

void CSurface::SolveTraverse(VPANEL panel, bool forceApplySchemeSettings) {
    vgui2::IPanel& panels = ThePanelService();
    if (!panels.IsVisible(panel)) {
        return;
    }
    if (forceApplySchemeSettings) {
        panels.PerformApplySchemeSettings(panel);
    }
    panels.Solve(panel);
    for (int i = 0, count = panels.GetChildCount(panel); i < count; ++i) {
        SolveTraverse(panels.GetChild(panel, i), forceApplySchemeSettings);
    }
}

std::size_t CSurface::LayoutFingerprint(VPANEL popup) {
    vgui2::IPanel& panels = ThePanelService();
    std::size_t seed = 0;
    std::function<void(VPANEL)> visit = [&](VPANEL panel) {
        int x = 0, y = 0, wide = 0, tall = 0;
        panels.GetAbsPos(panel, x, y);
        panels.GetSize(panel, wide, tall);
        for (std::size_t value : {static_cast<std::size_t>(panel), static_cast<std::size_t>(x),
                                  static_cast<std::size_t>(y), static_cast<std::size_t>(wide),
                                  static_cast<std::size_t>(tall)}) {
            HashCombine(seed, value);
        }
        for (int i = 0, count = panels.GetChildCount(panel); i < count; ++i) {
            VPANEL child = panels.GetChild(panel, i);
            if (panels.IsVisible(child) && !panels.IsPopup(child)) {
                visit(child);
            }
        }
    };
    visit(popup);
    return seed;
}

void CSurface::SyncWindows() {
    vgui2::IPanel& panels = ThePanelService();
    bool anyHidden = false;
    for (const auto& window : m_popups) {
        VPANEL panel = window->Panel();
        int x = 0, y = 0, wide = 0, tall = 0;
        panels.GetAbsPos(panel, x, y);
        panels.GetSize(panel, wide, tall);
        anyHidden |= window->Sync(x, y, wide, tall, panels.IsFullyVisible(panel));
        if (!window->IsShown()) {
            continue;
        }
        std::size_t fingerprint = LayoutFingerprint(panel);
        auto [entry, inserted] = m_fingerprints.try_emplace(panel, fingerprint);
        if (inserted || entry->second != fingerprint) {
            entry->second = fingerprint;
            window->Damage();
        }
    }
    if (anyHidden) {
        FocusFrontmostIfLost();
        m_keyFocusMayBeLost = true;
    }
    if (m_keyFocusMayBeLost) {
        m_keyFocusMayBeLost = false;
        RestoreLostKeyFocus();
    }
}

void CSurface::GiveKeyFocusTo(CPopupWindow& window) {
    vgui2::VPANEL focus = TheInput().GetFocus();
    if (focus != kNoPanel && ThePanelService().HasParent(focus, window.Panel())) {
        return;
    }
    ThePanelService().RequestFocus(window.Panel(), 0);
}

void CSurface::RestoreLostKeyFocus() {
    vgui2::VPANEL focus = TheInput().GetFocus();
    CPopupWindow* holder = ThePanelServiceImpl().Exists(focus) ? WindowOf(focus) : nullptr;
    if (holder && holder->IsShown()) {
        return;
    }
    for (auto it = m_popups.rbegin(); it != m_popups.rend(); ++it) {
        if ((*it)->IsShown() && (*it)->Options().keyboardInput) {
            GiveKeyFocusTo(**it);
            return;
        }
    }
}

// Keys go to whichever native window holds the X focus; when that window
// disappears (a menu closes, a dialog goes away) the focus would be left on
// nothing, so the frontmost remaining window that takes keys gets it.
void CSurface::FocusFrontmostIfLost() {
    SDL_Window* focused = SDL_GetKeyboardFocus();
    CPopupWindow* holder = focused ? FindWindowById(SDL_GetWindowID(focused)) : nullptr;
    if (holder && holder->IsShown()) {
        return;
    }
    for (auto it = m_popups.rbegin(); it != m_popups.rend(); ++it) {
        if ((*it)->IsShown() && (*it)->Options().keyboardInput) {
            (*it)->Raise();
            return;
        }
    }
}

void CSurface::PaintTraverse(VPANEL panel) {
    if (!m_initialized) {
        return;
    }
    SyncWindows();
    // Painting runs toolkit code that may open or close popups, so the list
    // is read again for every window rather than walked by iterator.
    std::vector<VPANEL> damaged;
    for (const auto& window : m_popups) {
        bool wanted = panel == m_embeddedPanel || panel == kNoPanel || window->Panel() == panel;
        if (wanted && window->IsShown() && window->IsDamaged()) {
            damaged.push_back(window->Panel());
        }
    }
    for (VPANEL popup : damaged) {
        if (CPopupWindow* window = FindPopup(popup)) {
            PaintWindow(*window);
        }
    }
}

void CSurface::PaintWindow(CPopupWindow& window) {
    m_painter.Reset();
    window.BeginPaint();
    ThePanelService().PaintTraverse(window.Panel(), true, true);
    m_painter.Reset();
    window.EndPaint();
}

void CSurface::SwapBuffers(VPANEL panel) {
    if (CPopupWindow* window = FindPopup(panel)) {
        window->EndPaint();
    }
}

void CSurface::ApplyChanges() {
    if (m_initialized) {
        SyncWindows();
    }
}

bool CSurface::IsWithin(int x, int y) {
    return std::any_of(m_popups.begin(), m_popups.end(),
                       [x, y](const auto& window) { return window->Contains(x, y); });
}

void CSurface::GetScreenSize(int& wide, int& tall) {
    SDL_Rect bounds{0, 0, 0, 0};
    if (!m_initialized || SDL_GetDisplayBounds(0, &bounds) != 0) {
        bounds = SDL_Rect{0, 0, 0, 0};
    }
    wide = bounds.w;
    tall = bounds.h;
}

void CSurface::GetWorkspaceBounds(int& x, int& y, int& wide, int& tall) {
    SDL_Rect bounds{0, 0, 0, 0};
    if (!m_initialized || SDL_GetDisplayUsableBounds(0, &bounds) != 0) {
        GetScreenSize(bounds.w, bounds.h);
        bounds.x = bounds.y = 0;
    }
    x = bounds.x;
    y = bounds.y;
    wide = bounds.w;
    tall = bounds.h;
}

bool CSurface::SupportsFeature(SurfaceFeature feature) {
    return feature == ESCAPE_KEY || feature == FRAME_MINIMIZE_MAXIMIZE || feature == ANTIALIASED_FONTS;
}

HFont CSurface::CreateFont() { return m_fonts.CreateFont(); }

bool CSurface::SetFontGlyphSet(HFont font, const char* fontName, int tall, int weight, int, int, int flags) {
    return m_fonts.SetFontGlyphSet(font, fontName, tall, weight, flags);
}

bool CSurface::AddCustomFontFile(const char* fontFileName) {
    if (!fontFileName) {
        return false;
    }
    char localPath[1024];
    IFileSystem* fileSystem = ModuleFileSystem();
    const char* path = fileSystem ? fileSystem->GetLocalPath(fontFileName, localPath, sizeof(localPath)) : nullptr;
    return m_fonts.AddCustomFontFile(path ? path : fontFileName);
}

int CSurface::GetFontTall(HFont font) { return m_fonts.GetFontTall(font); }

void CSurface::GetCharABCwide(HFont font, int ch, int& a, int& b, int& c) { m_fonts.GetCharABCwide(font, ch, a, b, c); }

int CSurface::GetCharacterWidth(HFont font, int ch) { return m_fonts.GetCharacterWidth(font, ch); }

void CSurface::GetTextSize(HFont font, const vgui2::wchar* text, int& wide, int& tall) {
    m_fonts.GetTextSize(font, text, wide, tall);
}

void CSurface::SetCursor(HCursor cursor) {
    if (!m_initialized || cursor == m_cursorShape) {
        return;
    }
    m_cursorShape = cursor;
    if (cursor == vgui2::dc_none) {
        SDL_ShowCursor(SDL_DISABLE);
        return;
    }
    SDL_Cursor*& shape = m_cursors[cursor];
    if (!shape) {
        shape = SDL_CreateSystemCursor(SystemCursorFor(cursor));
    }
    if (shape) {
        SDL_SetCursor(shape);
    }
    SDL_ShowCursor(SDL_ENABLE);
}

void CSurface::ReleaseCursors() {
    for (auto& entry : m_cursors) {
        if (entry.second) {
            SDL_FreeCursor(entry.second);
        }
    }
    m_cursors.clear();
    m_cursorShape = vgui2::dc_arrow;
}

bool CSurface::IsCursorVisible() { return m_cursorShape != vgui2::dc_none; }

void CSurface::SurfaceGetCursorPos(int& x, int& y) {
    x = m_cursorX;
    y = m_cursorY;
}

void CSurface::SurfaceSetCursorPos(int x, int y) {
    if (m_cursorKnown && x == m_cursorX && y == m_cursorY) {
        return;
    }
    m_cursorKnown = true;
    m_cursorX = x;
    m_cursorY = y;
    if (m_initialized) {
        SDL_WarpMouseGlobal(x, y);
    }
}

void CSurface::EnableMouseCapture(VPANEL, bool state) {
    if (m_initialized) {
        SDL_CaptureMouse(state ? SDL_TRUE : SDL_FALSE);
    }
}

// The updater plays no sounds; the toolkit's optional button sounds stay
// silent.
void CSurface::PlaySound(const char*) {}

void CSurface::SetLanguage(const char* language) {
    if (language && *language) {
        m_language = language;
    }
}

const char* CSurface::GetLanguage() { return m_language.c_str(); }

bool CSurface::SaveScreenshot(VPANEL panel, const char* fileName) {
    CPopupWindow* window = WindowOf(panel);
    if (!m_initialized || !window || !fileName) {
        return false;
    }
    if (window->IsDamaged()) {
        PaintWindow(*window);
    }
    SDL_Surface* shot = window->ReadPixels();
    if (!shot) {
        return false;
    }
    bool saved = IMG_SavePNG(shot, fileName) == 0;
    SDL_FreeSurface(shot);
    return saved;
}
