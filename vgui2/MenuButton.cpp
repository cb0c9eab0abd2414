#include "vgui2/MenuButton.h"

#include "services/IInput.h"
#include "services/ServicePointers.h"
#include "vgui2/KeyValues.h"
#include "vgui2/Menu.h"
#include "vgui2/MenuPlacement.h"

namespace vgui2 {

void MenuButton::AddMessageHandlers(PanelMessageMap& map) { map.Add<&MenuButton::OnMenuClose>("MenuClose"); }

MenuButton::MenuButton(Panel* parent, const char* panelName, const char* text) : Button(parent, panelName, text) {
    SetButtonActivationType(ACTIVATE_ONPRESSED);
}

MenuButton::MenuButton(Panel* parent, const char* panelName, const wchar* text)
    : Button(parent, panelName, text) {
    SetButtonActivationType(ACTIVATE_ONPRESSED);
}

void MenuButton::OnShowMenu(Menu*) {}

void MenuButton::OnHideMenu(Menu*) {}

void MenuButton::SetMenu(Menu* menu) {
    m_menu = menu;
    if (!menu) {
        return;
    }
    menu->SetVisible(false);
    menu->AddActionSignalTarget(this);
    menu->SetParent(this);
}

void MenuButton::SetOpenOffsetY(int offset) { m_openOffsetY = offset; }

void MenuButton::SetOpenDirection(MenuDirection direction) { m_direction = direction; }

void MenuButton::DoClick() {
    if (!m_menu) {
        return;
    }
    if (m_menu->IsVisible()) {
        HideMenu();
        return;
    }
    if (!m_menu->IsEnabled()) {
        return;
    }
    m_menu->InvalidateLayout(true);
    PlaceMenuBesideOpener(this, m_menu, m_direction, m_openOffsetY);
    MoveToFront();
    OnShowMenu(m_menu);
    ForceDepressed(true);
    m_menu->SetVisible(true);
    m_menu->RequestFocus();
}

void MenuButton::HideMenu() {
    if (!m_menu) {
        return;
    }
    OnHideMenu(m_menu);
    m_menu->SetVisible(false);
    ForceDepressed(false);
    InvalidateLayout();
    Repaint();
}

void MenuButton::OnMenuClose() {
    HideMenu();
    PostActionSignal(new KeyValues("MenuClose"));
}

void MenuButton::OnKillFocus() {
    if (m_menu && !m_menu->HasFocus()) {
        HideMenu();
    }
    Button::OnKillFocus();
}

void MenuButton::OnKeyCodePressed(KeyCode code) {
    bool modifier = input()->IsKeyDown(KEY_LSHIFT) || input()->IsKeyDown(KEY_RSHIFT) ||
                    input()->IsKeyDown(KEY_LCONTROL) || input()->IsKeyDown(KEY_RCONTROL) ||
                    input()->IsKeyDown(KEY_LALT) || input()->IsKeyDown(KEY_RALT);
    // Enter with a modifier belongs to the window (its shortcuts), not to
    // the button; the plain press clicks through the button's own rule.
    if (code == KEY_ENTER && modifier) {
        Label::OnKeyCodePressed(code);
        return;
    }
    Button::OnKeyCodePressed(code);
}

void MenuButton::OnCursorEntered() {
    Button::OnCursorEntered();
    if (GetVParent()) {
        PostMessage(GetVParent(), new KeyValues("CursorEnteredMenuButton", "VPanel", static_cast<int>(GetVPanel())));
    }
}

}  // namespace vgui2
