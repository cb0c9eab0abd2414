#include "vgui2/MenuItem.h"

#include <cstdlib>

#include "services/IPanel.h"
#include "services/IScheme.h"
#include "services/ISurface.h"
#include "services/ServicePointers.h"
#include "vgui2/KeyValues.h"
#include "vgui2/Menu.h"
#include "vgui2/TextImage.h"

namespace vgui2 {

namespace {

// The check mark and the cascade arrow are drawn as shapes: the symbol font
// the scheme names is not installed everywhere, and a missing font would
// draw letters instead.
constexpr int kCheckWide = 20;
constexpr int kCheckTall = 13;
constexpr int kCheckX = 3;
constexpr int kArrowWide = 12;

}  // namespace

void MenuItem::AddMessageHandlers(PanelMessageMap& map) {
    map.Add<&MenuItem::OnMenuClose>("MenuClose");
    map.Add<&MenuItem::ArmItem>("ArmItem");
    map.Add<&MenuItem::DisarmItem>("DisarmItem");
    map.Add<&MenuItem::OnKeyModeSet>("KeyModeSet");
}

MenuItem::MenuItem(Menu* parent, const char* panelName, const char* text, Menu* cascadeMenu, bool checkable)
    : Button(parent, panelName, text) {
    Construct(cascadeMenu, checkable);
}

MenuItem::MenuItem(Menu* parent, const char* panelName, const wchar* text, Menu* cascadeMenu, bool checkable)
    : Button(parent, panelName, text) {
    Construct(cascadeMenu, checkable);
}

void MenuItem::Construct(Menu* cascadeMenu, bool checkable) {
    SetButtonActivationType(ACTIVATE_ONRELEASED);
    SetButtonBorderEnabled(false);
    SetPaintBorderEnabled(false);
    SetContentAlignment(a_west);
    SetUseCaptureMouse(false);
    m_checkable = checkable;
    m_cascadeMenu = cascadeMenu;
    if (m_cascadeMenu) {
        m_cascadeMenu->SetParent(this);
        m_cascadeMenu->AddActionSignalTarget(this);
    }
}

MenuItem::~MenuItem() { KeyValues::Destroy(m_userData); }

Menu* MenuItem::GetParentMenu() { return dynamic_cast<Menu*>(GetParent()); }

void MenuItem::SetUserData(const KeyValues* userData) {
    KeyValues::Destroy(m_userData);
    m_userData = userData ? userData->MakeCopy() : nullptr;
}

void MenuItem::SetChecked(bool state) {
    if (m_checked != state) {
        m_checked = state;
        Repaint();
    }
}

// Arming ---------------------------------------------------------------------

void MenuItem::ArmItem() {
    Menu* menu = GetParentMenu();
    if (menu) {
        menu->CloseOtherMenus(this);
    }
    SetArmed(true);
    if (menu) {
        menu->InvalidateWidth();
        menu->InvalidateLayout();
    }
}

void MenuItem::DisarmItem() {
    // An item whose submenu is open stays lit so the path to the submenu
    // can be seen.
    if (!(m_cascadeMenu && m_cascadeMenu->IsVisible())) {
        SetArmed(false);
    }
    if (Menu* menu = GetParentMenu()) {
        menu->InvalidateLayout();
    }
}

void MenuItem::OnKeyModeSet() {
    if (Menu* menu = GetParentMenu()) {
        PostMessage(menu, new KeyValues("KeyModeSet"));
    }
}

void MenuItem::OnMenuClose() {
    if (Menu* menu = GetParentMenu()) {
        menu->CloseIfFocusLeft();
    }
}

void MenuItem::OpenCascadeMenu() {
    if (!m_cascadeMenu) {
        return;
    }
    m_cascadeMenu->InvalidateLayout(true);
    m_cascadeMenu->SetVisible(true);
}

void MenuItem::CloseCascadeMenu() {
    if (m_cascadeMenu && m_cascadeMenu->IsVisible()) {
        m_cascadeMenu->SetVisible(false);
        SetArmed(false);
    }
}

// Clicking -------------------------------------------------------------------

void MenuItem::FireActionSignal() {
    Menu* menu = GetParentMenu();
    if (m_cascadeMenu) {
        // A pointer click on a submenu's item does nothing: the pointer
        // already opened it on entry.
        if (menu && menu->IsKeyMode()) {
            OpenCascadeMenu();
            ArmItem();
        }
        return;
    }
    if (menu) {
        KeyValues* message = new KeyValues("MenuItemSelected");
        message->SetPtr("panel", this);
        PostMessage(menu, message);
    }
    Button::FireActionSignal();
    if (m_checkable) {
        SetChecked(!m_checked);
    }
}

// Pointer --------------------------------------------------------------------

void MenuItem::SendToMenu(const char* messageName) {
    if (Menu* menu = GetParentMenu()) {
        PostMessage(menu, new KeyValues(messageName, "VPanel", static_cast<int>(GetVPanel())));
    }
}

void MenuItem::OnCursorEntered() { SendToMenu("CursorEnteredMenuItem"); }

void MenuItem::OnCursorExited() { SendToMenu("CursorExitedMenuItem"); }

void MenuItem::OnCursorMoved(int x, int y) {
    Menu* menu = GetParentMenu();
    if (!menu) {
        return;
    }
    bool wasKeyMode = menu->IsKeyMode();
    int itemX = 0, itemY = 0;
    GetPos(itemX, itemY);
    KeyValues* message = new KeyValues("OnCursorMoved", "x", x + itemX, "y", y + itemY);
    ipanel()->SendMessage(menu->GetVPanel(), message, GetVPanel());
    message->deleteThis();
    // The pointer takes over from the keyboard: the item under it lights
    // up without waiting for the pointer to leave and enter again.
    if (wasKeyMode) {
        menu->OnCursorEnteredMenuItem(static_cast<int>(GetVPanel()));
    }
}

// Look -----------------------------------------------------------------------

void MenuItem::ApplySchemeSettings(IScheme* schemeData) {
    Button::ApplySchemeSettings(schemeData);
    Color fg = GetSchemeColor("Menu/FgColor", GetFgColor(), schemeData);
    Color bg = GetSchemeColor("Menu/BgColor", GetBgColor(), schemeData);
    SetDefaultColor(fg, bg);
    Color armedFg = GetSchemeColor("Menu/ArmedFgColor", fg, schemeData);
    Color armedBg = GetSchemeColor("Menu/ArmedBgColor", bg, schemeData);
    SetArmedColor(armedFg, armedBg);
    SetDepressedColor(armedFg, armedBg);
    const char* inset = schemeData->GetResourceString("Menu/TextInset");
    if (inset && *inset) {
        m_defaultTextInset = std::atoi(inset);
    }
    SetCheckInset(m_checkInset);
}

void MenuItem::GetCheckImageSize(int& wide, int& tall) {
    wide = kCheckWide;
    tall = kCheckTall;
}

void MenuItem::SetCheckInset(int inset) {
    m_checkInset = inset;
    SetTextInset(inset > 0 ? inset : m_defaultTextInset, 0);
}

void MenuItem::GetContentSize(int& wide, int& tall) {
    PerformApplySchemeSettings();
    int textWide = 0, textTall = 0;
    GetTextImage()->GetContentSize(textWide, textTall);
    wide = (m_checkInset > 0 ? m_checkInset : m_defaultTextInset) + textWide + (m_cascadeMenu ? kArrowWide : 0);
    tall = textTall;
}

void MenuItem::Paint() {
    Button::Paint();
    int wide = 0, tall = 0;
    GetSize(wide, tall);
    if (m_checkable) {
        PaintCheck(kCheckX, (tall - kCheckTall) / 2);
    }
    if (m_cascadeMenu) {
        PaintArrow(wide - kArrowWide, 0, tall);
    }
}

void MenuItem::PaintCheck(int x, int y) {
    ISurface* draw = surface();
    draw->DrawSetColor(GetButtonBgColor());
    draw->DrawFilledRect(x, y, x + kCheckTall, y + kCheckTall);
    if (!m_checked) {
        return;
    }
    // The tick is drawn as two-pixel steps down to the corner and up again.
    auto tick = [&](int dx, int dy, Color color) {
        draw->DrawSetColor(color);
        for (int step = 0; step < 9; ++step) {
            int px = x + dx + 2 + step;
            int py = y + dy + (step < 3 ? 4 + step : 9 - step);
            draw->DrawFilledRect(px, py, px + 1, py + 2);
        }
    };
    if (IsEnabled()) {
        tick(0, 2, GetButtonFgColor());
    } else {
        tick(1, 3, GetDisabledFgColor1());
        tick(0, 2, GetDisabledFgColor2());
    }
}

void MenuItem::PaintArrow(int x, int y, int tall) {
    constexpr int kArrowHalf = 4;
    ISurface* draw = surface();
    draw->DrawSetColor(GetButtonFgColor());
    int middle = y + tall / 2;
    for (int column = 0; column < kArrowHalf; ++column) {
        int reach = kArrowHalf - column;
        draw->DrawFilledRect(x + column, middle - reach, x + column + 1, middle + reach);
    }
}

}  // namespace vgui2
