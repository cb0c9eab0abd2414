#include "vgui2/Frame.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>

#include "platform/Text.h"
#include "services/IInput.h"
#include "services/ILocalize.h"
#include "services/IPanel.h"
#include "services/IScheme.h"
#include "services/ISurface.h"
#include "services/ISystem.h"
#include "services/IVGui.h"
#include "services/ServicePointers.h"
#include "vgui2/BuildGroup.h"
#include "vgui2/CaptionGripPanel.h"
#include "vgui2/FrameButton.h"
#include "vgui2/FrameSystemButton.h"
#include "vgui2/GripPanel.h"
#include "vgui2/KeyValues.h"
#include "vgui2/Menu.h"
#include "vgui2/MessageBox.h"
#include "vgui2/PanelHandles.h"
#include "vgui2/TextImage.h"
#include "vgui2/WindowPlacement.h"

namespace vgui2 {

namespace {

constexpr int kDesktopTitleChars = 128;
constexpr int kDialogTitleChars = 1024;
constexpr int kBorderInset = 5;
constexpr int kCaptionTall = 23;
constexpr int kSystemButtonX = 7;
constexpr int kSystemButtonY = 8;
constexpr int kTitleX = 28;
constexpr int kTitleY = 9;

struct GripSpec {
    const char* name;
    int xdir;
    int ydir;
};

// Order matters: the layout below places them by index.
constexpr GripSpec kGrips[Frame::kGripCount] = {
    {"frame_topGrip", 0, -1},     {"frame_bottomGrip", 0, 1},     {"frame_leftGrip", -1, 0},
    {"frame_rightGrip", 1, 0},    {"frame_tlGrip", -1, -1},       {"frame_trGrip", 1, -1},
    {"frame_blGrip", -1, 1},      {"frame_brGrip", 1, 1},
};
enum GripIndex { kTop, kBottom, kLeft, kRight, kTopLeft, kTopRight, kBottomLeft, kBottomRight };

bool KeyHeld(KeyCode left, KeyCode right) { return input()->IsKeyDown(left) || input()->IsKeyDown(right); }

// A layout save that fails while someone edits a frame's layout is shown as
// a modal box, so the editor cannot miss it.
void ShowSaveErrorBox(const char* title, const char* text) {
    auto* box = new MessageBox(title, text, nullptr);
    box->DoModal();
}

}  // namespace

void Frame::AddMessageHandlers(PanelMessageMap& map) {
    map.Add<&Frame::OnClose>("Close");
    map.Add<&Frame::CloseModal>("CloseModal");
    map.Add<&Frame::OnMinimize>("Minimize");
    map.Add<&Frame::OnCloseFrameButtonPressed>("CloseFrameButtonPressed");
    map.Add<&Frame::OnSetTitle>("SetTitle", "text");
    map.Add<&Frame::OnFlashWindow>("FlashWindow");
    map.Add<&Frame::OnDialogVariablesChanged>("DialogVariables");
}

Frame::Frame(Panel* parent, const char* panelName, bool showTaskbarIcon) : EditablePanel(parent, panelName) {
    // Once per process, so that a handler installed after the first frame
    // (by a test, say) is not overridden by every later frame.
    [[maybe_unused]] static const bool saveErrorBoxInstalled =
        (BuildGroup::SetSaveErrorHandler(&ShowSaveErrorBox), true);

    SetVisible(false);
    MakePopup(showTaskbarIcon);

    m_title = new TextImage("");
    SetTitle("Untitled", parent == nullptr);

    SetBuildGroup(GetContainedBuildGroup());
    SetMinimumSize(kMinimumWide, kMinimumTall);
    GetFocusNavGroup().SetFocusTopLevel(true);

    for (int i = 0; i < kGripCount; ++i) {
        m_grips[i] = new GripPanel(this, kGrips[i].name, kGrips[i].xdir, kGrips[i].ydir);
    }
    m_captionGrip = new CaptionGripPanel(this, "frame_caption");

    m_minimizeButton = new FrameButton(this, "frame_minimize", "resource/icon_minimize");
    m_minimizeButton->SetCommand(new KeyValues("Minimize"));
    m_minimizeButton->AddActionSignalTarget(this);
    m_maximizeButton = new FrameButton(this, "frame_maximize", "resource/icon_maximize");
    m_minimizeToTrayButton = new FrameButton(this, "frame_mintosystray", nullptr);
    m_minimizeToTrayButton->SetCommand("MinimizeToSysTray");
    m_minimizeToTrayButton->SetVisible(false);
    m_closeButton = new FrameButton(this, "frame_close", "resource/icon_close");
    m_closeButton->SetCommand(new KeyValues("CloseFrameButtonPressed"));
    m_closeButton->AddActionSignalTarget(this);
    if (!surface()->SupportsFeature(ISurface::FRAME_MINIMIZE_MAXIMIZE) || parent) {
        m_wantMinimize = false;
        m_wantMaximize = false;
    }
    m_systemButton = new FrameSystemButton(this, "frame_menu");
    m_systemButton->SetMenu(GetSysMenu());
    // Like the title buttons' disabled look, it matches the unfocused state
    // the frame starts in.
    m_systemButton->SetEnabled(false);
    UpdateTitleButtonVisibility();
    SetupResizeCursors();
}

// The system menu is the system-menu button's child and goes with it.
Frame::~Frame() { delete m_title; }

GripPanel* Frame::GetGrip(int index) { return index >= 0 && index < kGripCount ? m_grips[index] : nullptr; }

// Title ------------------------------------------------------------------------

// Every frame is a native window of its own here, so the native window always
// carries the title: a taskbar or window list never shows a blank entry. The
// desktop-title flag therefore changes nothing.
void Frame::SetTitle(const char* title, bool) {
    m_title->SetText(title ? title : "");
    ShowTitle();
}

void Frame::SetTitle(const wchar* title, bool) {
    m_title->SetText(title ? title : u"");
    ShowTitle();
}

void Frame::ShowTitle() {
    // The title image already holds the localized text of a token, or the
    // converted plain text.
    wchar desktop[kDesktopTitleChars];
    m_title->GetText(desktop, sizeof(desktop));
    surface()->SetTitle(GetVPanel(), desktop);
    Repaint();
}

void Frame::GetTitle(wchar* buffer, int bufferBytes) { m_title->GetText(buffer, bufferBytes); }

void Frame::OnSetTitle(const char* text) { SetTitle(text, true); }

void Frame::OnDialogVariablesChanged(KeyValues* variables) {
    if (!m_title->HasToken() || !localize()) {
        return;
    }
    wchar text[kDialogTitleChars];
    localize()->ConstructString(text, sizeof(text), m_title->GetTokenName().c_str(), variables);
    m_title->SetText(text);
    ShowTitle();
}

// Showing, closing and modality --------------------------------------------------

void Frame::Activate() {
    KeepInsideWorkArea();
    MoveToFront();
    surface()->MovePopupToFront(GetVPanel());
    RequestFocus();
    SetVisible(true);
    SetEnabled(true);
    surface()->SetMinimized(GetVPanel(), false);
}

void Frame::DoModal() {
    MoveToCenterOfScreen();
    InvalidateLayout();
    Activate();
    BecomeAppModal();
}

void Frame::BecomeAppModal() {
    VPANEL current = input()->GetAppModalSurface();
    // Asking twice must not make the frame its own predecessor.
    if (current != GetVPanel()) {
        m_previousModal = HandleOf(current);
    }
    input()->SetAppModalSurface(GetVPanel());
}

void Frame::ReleaseAppModal() {
    input()->ReleaseAppModalSurface();
    VPANEL previous = m_previousModal == kNoHandle ? kNoPanel : ivgui()->HandleToPanel(m_previousModal);
    m_previousModal = kNoHandle;
    // A predecessor that was closed in the meantime is hidden; making it
    // modal again would leave every visible window deaf to input.
    if (previous && ipanel()->IsVisible(previous)) {
        input()->SetAppModalSurface(previous);
    }
}

void Frame::CloseModal() {
    ReleaseAppModal();
    PostMessage(this, new KeyValues("Close"));
}

void Frame::HideForClose() {
    if (input()->GetAppModalSurface() == GetVPanel()) {
        ReleaseAppModal();
    }
    SetVisible(false);
    WriteUserConfig();
}

void Frame::OnClose() {
    HideForClose();
    if (m_deleteSelfOnClose) {
        MarkForDeletion();
    }
}

void Frame::SetDeleteSelfOnClose(bool state) { m_deleteSelfOnClose = state; }

void Frame::OnCloseFrameButtonPressed() { OnCommand("Close"); }

void Frame::OnMinimize() { surface()->SetMinimized(GetVPanel(), true); }

void Frame::OnMinimizeToSysTray() {}

bool Frame::IsMinimized() { return surface()->IsMinimized(GetVPanel()); }

void Frame::OnCommand(const char* command) {
    if (platform::CompareNoCase(command, "Close") == 0) {
        OnClose();
    } else if (platform::CompareNoCase(command, "CloseModal") == 0) {
        CloseModal();
    } else if (platform::CompareNoCase(command, "Minimize") == 0) {
        OnMinimize();
    } else if (platform::CompareNoCase(command, "MinimizeToSysTray") == 0) {
        OnMinimizeToSysTray();
    } else {
        EditablePanel::OnCommand(command);
    }
}

// Placement ------------------------------------------------------------------------

void Frame::MoveToCenterOfScreen() {
    int x = 0, y = 0, wide = 0, tall = 0;
    surface()->GetWorkspaceBounds(x, y, wide, tall);
    SetPos((wide - GetWide()) / 2, (tall - GetTall()) / 2);
}

void Frame::KeepInsideWorkArea() {
    ScreenRect area;
    surface()->GetWorkspaceBounds(area.x, area.y, area.wide, area.tall);
    ScreenRect window;
    GetPos(window.x, window.y);
    GetSize(window.wide, window.tall);
    ScreenRect inside = ShiftInside(window, area);
    if (inside.x != window.x || inside.y != window.y) {
        SetPos(inside.x, inside.y);
    }
}

void Frame::GetDefaultScreenPosition(int& x, int& y, int& wide, int& tall) { x = y = wide = tall = 0; }

void Frame::SetMoveable(bool state) { m_moveable = state; }

bool Frame::IsMoveable() { return m_moveable; }

void Frame::SetSizeable(bool state) {
    m_sizeable = state;
    SetupResizeCursors();
}

bool Frame::IsSizeable() { return m_sizeable; }

void Frame::SetupResizeCursors() {
    static constexpr HCursor kSizeableCursors[kGripCount] = {dc_sizens,   dc_sizens,   dc_sizewe,   dc_sizewe,
                                                             dc_sizenwse, dc_sizenesw, dc_sizenesw, dc_sizenwse};
    for (int i = 0; i < kGripCount; ++i) {
        m_grips[i]->SetCursor(m_sizeable ? kSizeableCursors[i] : static_cast<HCursor>(dc_arrow));
    }
    m_grips[kBottomRight]->SetPaintEnabled(m_sizeable);
    m_grips[kBottomRight]->SetPaintBackgroundEnabled(m_sizeable);
}

// Title bar controls -------------------------------------------------------------

void Frame::UpdateTitleButtonVisibility() {
    m_minimizeButton->SetVisible(m_titleBarVisible && m_wantMinimize);
    m_maximizeButton->SetVisible(m_titleBarVisible && m_wantMaximize);
    m_closeButton->SetVisible(m_titleBarVisible && m_wantClose);
    if (Panel* menuButton = m_systemButton) {
        menuButton->SetVisible(m_titleBarVisible && m_wantMenuButton);
    }
    UpdateSystemMenuItems();
    InvalidateLayout();
}

void Frame::SetTitleBarVisible(bool state) {
    m_titleBarVisible = state;
    UpdateTitleButtonVisibility();
}

void Frame::SetMenuButtonVisible(bool state) {
    m_wantMenuButton = state;
    UpdateTitleButtonVisibility();
}

void Frame::SetMinimizeButtonVisible(bool state) {
    m_wantMinimize = state;
    UpdateTitleButtonVisibility();
}

void Frame::SetMaximizeButtonVisible(bool state) {
    m_wantMaximize = state;
    UpdateTitleButtonVisibility();
}

void Frame::SetCloseButtonVisible(bool state) {
    m_wantClose = state;
    UpdateTitleButtonVisibility();
}

void Frame::SetMinimizeToSysTrayButtonVisible(bool state) {
    m_minimizeToTrayButton->SetVisible(state);
    InvalidateLayout();
}

Menu* Frame::GetSysMenu() {
    if (auto* menu = static_cast<Menu*>(PanelFromHandle(m_systemMenu))) {
        return menu;
    }
    auto* menu = new Menu(nullptr, "SystemMenu");
    menu->AddActionSignalTarget(this);
    menu->SetVisible(false);
    menu->AddMenuItem("Minimize", "#SysMenu_Minimize", "Minimize", this);
    menu->AddMenuItem("Maximize", "#SysMenu_Maximize", "Maximize", this);
    menu->AddMenuItem("Close", "#SysMenu_Close", "Close", this);
    m_systemMenu = HandleOf(menu);
    UpdateSystemMenuItems();
    return menu;
}

void Frame::SetSysMenu(Menu* menu) {
    Panel* old = PanelFromHandle(m_systemMenu);
    if (old == menu) {
        return;
    }
    if (old) {
        old->MarkForDeletion();
    }
    m_systemMenu = HandleOf(menu);
    if (m_systemButton) {
        m_systemButton->SetMenu(menu);
    }
    UpdateSystemMenuItems();
}

void Frame::UpdateSystemMenuItems() {
    auto* menu = static_cast<Menu*>(PanelFromHandle(m_systemMenu));
    if (!menu) {
        return;
    }
    menu->SetItemEnabled("Minimize", m_minimizeButton->IsVisible());
    menu->SetItemEnabled("Maximize", m_maximizeButton->IsVisible());
    menu->SetItemEnabled("Close", m_closeButton->IsVisible());
}

// Flashing -------------------------------------------------------------------------

void Frame::FlashWindow() {
    m_flashing = true;
    OnFlashWindow();
}

void Frame::OnFlashWindow() {
    if (!m_flashing) {
        return;
    }
    surface()->FlashWindow(GetVPanel(), true);
    PostMessage(this, new KeyValues("FlashWindow"), kFlashIntervalSeconds);
}

void Frame::FlashWindowStop() {
    surface()->FlashWindow(GetVPanel(), false);
    m_flashing = false;
}

// Scheme, layout and painting -----------------------------------------------------

void Frame::ApplySchemeSettings(IScheme* schemeData) {
    EditablePanel::ApplySchemeSettings(schemeData);
    m_titleBarBg = GetSchemeColor("TitleBarBgColor", GetBgColor(), schemeData);
    m_titleBarDisabledBg = GetSchemeColor("TitleBarDisabledBgColor", GetBgColor(), schemeData);
    m_titleBarFg = GetSchemeColor("TitleBarFgColor", GetFgColor(), schemeData);
    m_titleBarDisabledFg = GetSchemeColor("TitleBarDisabledFgColor", GetFgColor(), schemeData);
    m_title->SetFont(schemeData->GetFont("Default", IsProportional()));
    InvalidateLayout();
}

double Frame::LayoutScale() {
    if (!IsProportional()) {
        return 1.0;
    }
    int wide = 0, tall = 0;
    surface()->GetScreenSize(wide, tall);
    return static_cast<double>(tall) / kProportionalBaseTall;
}

int Frame::TitleFontTall() { return surface()->GetFontTall(m_title->GetFont()); }

void Frame::GetClientArea(int& x, int& y, int& wide, int& tall) {
    x = kBorderInset;
    wide = GetWide() - 2 * kBorderInset;
    if (m_titleBarVisible) {
        int fontTall = TitleFontTall();
        y = fontTall + 13;
        tall = GetTall() - fontTall - 18;
    } else {
        y = kBorderInset;
        tall = GetTall() - 2 * kBorderInset;
    }
}

void Frame::PerformLayout() {
    int w = 0, h = 0;
    GetSize(w, h);
    m_grips[kTop]->SetBounds(8, 0, w - 16, 5);
    m_grips[kLeft]->SetBounds(0, 8, 5, h - 16);
    m_grips[kTopLeft]->SetBounds(0, 0, 8, 8);
    m_grips[kTopRight]->SetBounds(w - 8, 0, 8, 8);
    m_grips[kBottomLeft]->SetBounds(0, h - 8, 8, 8);
    m_grips[kBottom]->SetBounds(8, h - 5, w - 26, 5);
    m_grips[kRight]->SetBounds(w - 5, 8, 5, h - 26);
    m_grips[kBottomRight]->SetBounds(w - kResizeGripSize, h - kResizeGripSize, kResizeGripSize, kResizeGripSize);
    m_captionGrip->SetBounds(0, 0, w - 10, kCaptionTall);
    // The caption lies under the edge grips, so the top edge and corners
    // still resize.
    m_captionGrip->MoveToFront();
    for (GripPanel* grip : m_grips) {
        grip->MoveToFront();
    }

    if (Panel* menuButton = m_systemButton) {
        menuButton->SetBounds(kSystemButtonX, kSystemButtonY, FrameButton::kSize, FrameButton::kSize);
        menuButton->MoveToFront();
    }

    double s = LayoutScale();
    int size = static_cast<int>(FrameButton::kSize * s);
    int k = 0;
    for (FrameButton* button : {m_closeButton, m_minimizeToTrayButton, m_maximizeButton, m_minimizeButton}) {
        button->MoveToFront();
        if (!button->IsVisible()) {
            continue;
        }
        ++k;
        button->SetBounds(static_cast<int>(w - 5 * s - 20 * s * k), static_cast<int>(8 * s), size, size);
        button->SetTextInset(static_cast<int>(std::ceil(2 * s)), static_cast<int>(std::ceil(s)));
    }
    EditablePanel::PerformLayout();
}

bool Frame::FocusIsInside() {
    VPANEL focus = input()->GetFocus();
    return focus && ipanel()->HasParent(focus, GetVPanel());
}

void Frame::PaintBackground() {
    bool focused = FocusIsInside();
    if (focused != m_hasFocus) {
        m_hasFocus = focused;
        for (FrameButton* button : {m_closeButton, m_minimizeToTrayButton, m_maximizeButton, m_minimizeButton}) {
            button->SetDisabledLook(!focused);
            button->InvalidateLayout();
        }
        if (Panel* menuButton = m_systemButton) {
            menuButton->SetEnabled(focused);
            menuButton->InvalidateLayout();
        }
    }
    if (focused && m_flashing) {
        FlashWindowStop();
    }

    int w = 0, h = 0;
    GetSize(w, h);
    surface()->DrawSetColor(GetBgColor());
    surface()->DrawFilledRect(0, 0, w, h);
    IScheme* schemeData = scheme()->GetIScheme(GetScheme());
    if (IBorder* border = schemeData ? schemeData->GetBorder("FrameBorder") : nullptr) {
        border->Paint(0, 0, w, h);
    }
    if (!m_titleBarVisible) {
        return;
    }
    // The title bar scales with the frame's layout; a fixed-size frame keeps
    // a fixed-size bar on every screen.
    int barBottom = static_cast<int>(28 * LayoutScale());
    surface()->DrawSetColor(focused ? m_titleBarBg : m_titleBarDisabledBg);
    surface()->DrawFilledRect(kBorderInset, kBorderInset, w - kBorderInset, barBottom);
    m_title->SetPos(kTitleX, kTitleY);
    m_title->SetSize(std::max(0, w - 72), TitleFontTall());
    m_title->SetColor(focused ? m_titleBarFg : m_titleBarDisabledFg);
    m_title->Paint();
}

// Keyboard and mouse ---------------------------------------------------------------

void Frame::OnKeyCodePressed(KeyCode code) {
    if (code == KEY_ESCAPE && surface()->SupportsFeature(ISurface::ESCAPE_KEY)) {
        KeyValues* command = new KeyValues("Command");
        command->SetString("command", "Cancel");
        PostMessage(this, command);
    }
}

void Frame::OnKeyCodeTyped(KeyCode code) {
    bool shift = KeyHeld(KEY_LSHIFT, KEY_RSHIFT);
    bool alt = KeyHeld(KEY_LALT, KEY_RALT);
    bool ctrl = KeyHeld(KEY_LCONTROL, KEY_RCONTROL);
    if (ctrl && alt && shift && code == KEY_B) {
        EnterBuildMode();
    } else if (ctrl && alt && shift && code == KEY_R) {
        scheme()->ReloadSchemes();
        Panel* root = PanelFromId(surface()->GetEmbeddedPanel());
        (root ? root : this)->InvalidateLayout(false, true);
    } else if (alt && code == KEY_F4) {
        PostMessage(this, new KeyValues("CloseFrameButtonPressed"));
    } else if (code == KEY_ENTER) {
        Panel* button = PanelFromId(GetFocusNavGroup().GetCurrentDefaultButton());
        if (button && button->IsVisible() && button->IsEnabled()) {
            PostMessage(button, new KeyValues("Hotkey"));
        }
    } else if (code == KEY_ESCAPE && surface()->SupportsFeature(ISurface::ESCAPE_KEY) &&
               input()->GetAppModalSurface() == GetVPanel()) {
        CloseModal();
    }
    // Every other key stops here: a window does not hand keys to the one
    // behind it.
}

void Frame::OnKeyTyped(wchar unichar) {
    Panel* target = GetFocusNavGroup().FindPanelByHotkey(unichar);
    if (!target && unichar < 0x80) {
        // Hotkeys are kept in lower case.
        target = GetFocusNavGroup().FindPanelByHotkey(static_cast<wchar>(std::tolower(unichar)));
    }
    if (target) {
        PostMessage(target, new KeyValues("Hotkey"));
    }
}

void Frame::OnMousePressed(MouseCode) {
    if (!IsBuildModeActive() && !FocusIsInside()) {
        RequestFocus();
    }
}

// Layout files, settings and user config --------------------------------------------

bool Frame::LoadLayoutFile(const char* fileName, const char* pathId) {
    bool loaded = EditablePanel::LoadLayoutFile(fileName, pathId);
    if (Panel* first = GetFocusNavGroup().GetDefaultPanel()) {
        first->RequestFocus();
    }
    return loaded;
}

void Frame::ApplySettings(KeyValues* inResourceData) {
    // Whether a frame shows is its owner's decision, never a layout file's.
    inResourceData->SetInt("visible", -1);
    EditablePanel::ApplySettings(inResourceData);
    SetTitleBarVisible(inResourceData->GetInt("settitlebarvisible", 1) != 0);
    const char* title = inResourceData->GetString("title", "");
    if (title && *title) {
        SetTitle(title, true);
    }
}

void Frame::GetSettings(KeyValues* outResourceData) {
    EditablePanel::GetSettings(outResourceData);
    outResourceData->SetInt("settitlebarvisible", m_titleBarVisible ? 1 : 0);
    char title[kDialogTitleChars];
    m_title->GetUnlocalizedText(title, sizeof(title));
    if (*title) {
        outResourceData->SetString("title", title);
    }
}

const char* Frame::GetDescription() {
    static char description[512];
    std::snprintf(description, sizeof(description), "%s, string title", EditablePanel::GetDescription());
    return description;
}

bool Frame::HasUserConfigSettings() { return true; }

void Frame::ApplyUserConfigSettings(KeyValues* userConfig) {
    int wx = 0, wy = 0, ww = 0, wt = 0;
    surface()->GetWorkspaceBounds(wx, wy, ww, wt);
    int x = 0, y = 0, wide = 0, tall = 0;
    GetBounds(x, y, wide, tall);
    if (m_sizeable) {
        int minWide = 0, minTall = 0;
        ipanel()->GetMinimumSize(GetVPanel(), minWide, minTall);
        wide = std::max(std::min(userConfig->GetInt("wide", wide), ww), minWide);
        tall = std::max(std::min(userConfig->GetInt("tall", tall), wt), minTall);
        SetSize(wide, tall);
    }
    bool hasPosition = userConfig->FindKey("xpos") != nullptr;
    if (m_moveable) {
        x = userConfig->GetInt("xpos", x);
        y = userConfig->GetInt("ypos", y);
    }
    // A window saved on a larger or since-removed screen must come back
    // where it can be seen.
    x = std::max(std::min(x, wx + ww - wide), wx);
    y = std::max(std::min(y, wy + wt - tall), wy);
    SetPos(x, y);
    if (m_moveable && !hasPosition) {
        MoveToCenterOfScreen();
    }
}

void Frame::GetUserConfigSettings(KeyValues* userConfig) {
    int x = 0, y = 0, wide = 0, tall = 0;
    GetBounds(x, y, wide, tall);
    if (m_moveable) {
        userConfig->SetInt("xpos", x);
        userConfig->SetInt("ypos", y);
    }
    if (m_sizeable) {
        userConfig->SetInt("wide", wide);
        userConfig->SetInt("tall", tall);
    }
}

void Frame::ReadUserConfig(const char* configName, int dialogId) {
    EditablePanel::ReadUserConfig(configName, dialogId);
    m_userConfigName = configName ? configName : "";
    m_hasUserConfigName = configName != nullptr;
    m_userConfigId = dialogId;
    if (!configName || !system()) {
        return;
    }
    if (KeyValues* data = system()->GetUserConfigFileData(configName, dialogId)) {
        ApplyUserConfigSettings(data);
    }
}

void Frame::WriteUserConfig() {
    EditablePanel::WriteUserConfig();
    if (!m_hasUserConfigName || !system()) {
        return;
    }
    if (KeyValues* data = system()->GetUserConfigFileData(m_userConfigName.c_str(), m_userConfigId)) {
        GetUserConfigSettings(data);
    }
}

}  // namespace vgui2
