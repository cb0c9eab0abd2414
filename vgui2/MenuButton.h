// MenuButton: a button that drops its menu down (or up, at the pointer, or
// aligned with its parent) when pressed and stays pressed while the menu
// shows. The menu is kept inside the work area horizontally. The button
// does not own the menu's lifetime beyond being its parent.
#pragma once

#include "vgui2/Button.h"

namespace vgui2 {

class Menu;

class MenuButton : public Button {
    VGUI2_PANEL_CLASS(MenuButton, Button);

public:
    enum MenuDirection { UP = 2, DOWN = 3, CURSOR = 4, ALIGN_WITH_PARENT = 5 };

    MenuButton(Panel* parent, const char* panelName, const char* text);
    MenuButton(Panel* parent, const char* panelName, const wchar* text);

    virtual void OnShowMenu(Menu* menu);
    virtual void OnHideMenu(Menu* menu);
    // The menu becomes the button's child and reports to the button.
    virtual void SetMenu(Menu* menu);
    Menu* GetMenu() { return m_menu; }
    virtual void HideMenu();
    virtual void OnMenuClose();
    virtual void SetOpenOffsetY(int offset);
    virtual void SetOpenDirection(MenuDirection direction);

    void DoClick() override;

protected:
    void OnKillFocus() override;
    void OnKeyCodePressed(KeyCode code) override;
    void OnCursorEntered() override;

private:
    Menu* m_menu = nullptr;
    MenuDirection m_direction = DOWN;
    int m_openOffsetY = 0;
};

}  // namespace vgui2
