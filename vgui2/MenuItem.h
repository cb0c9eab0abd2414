// MenuItem: one row of a Menu, a flat button that clicks on release. It
// arms when the pointer enters it (through its menu, which also keeps the
// highlight), may carry a cascading submenu, a check mark and user data,
// and on a click tells its menu before sending its command. It leaves out
// keyboard accelerators.
#pragma once

#include "vgui2/Button.h"

class KeyValues;

namespace vgui2 {

class Menu;

class MenuItem : public Button {
    VGUI2_PANEL_CLASS(MenuItem, Button);

public:
    MenuItem(Menu* parent, const char* panelName, const char* text, Menu* cascadeMenu = nullptr,
             bool checkable = false);
    MenuItem(Menu* parent, const char* panelName, const wchar* text, Menu* cascadeMenu = nullptr,
             bool checkable = false);
    ~MenuItem() override;

    virtual void ArmItem();
    virtual void DisarmItem();
    virtual void OnKeyModeSet();

    Menu* GetParentMenu();
    Menu* GetMenu() { return m_cascadeMenu; }
    bool HasMenu() const { return m_cascadeMenu != nullptr; }
    void OpenCascadeMenu();
    void CloseCascadeMenu();
    bool IsCheckable() const { return m_checkable; }
    bool IsChecked() const { return m_checked; }
    void SetChecked(bool state);
    // A copy is kept; null clears it.
    void SetUserData(const KeyValues* userData);
    KeyValues* GetUserData() { return m_userData; }
    // The text and images wide, for the menu's width.
    void GetContentSize(int& wide, int& tall) override;
    // The space the check mark takes; every item of a menu that has
    // checkable items indents its text by the widest one.
    void GetCheckImageSize(int& wide, int& tall);
    void SetCheckInset(int inset);

    void FireActionSignal() override;

protected:
    void ApplySchemeSettings(IScheme* scheme) override;
    void Paint() override;
    void OnCursorEntered() override;
    void OnCursorExited() override;
    void OnCursorMoved(int x, int y) override;
    virtual void OnMenuClose();

private:
    void Construct(Menu* cascadeMenu, bool checkable);
    void SendToMenu(const char* messageName);
    void PaintCheck(int x, int y);
    void PaintArrow(int x, int y, int tall);

    Menu* m_cascadeMenu = nullptr;
    bool m_checkable = false;
    bool m_checked = false;
    KeyValues* m_userData = nullptr;
    int m_defaultTextInset = 6;
    int m_checkInset = 0;
};

}  // namespace vgui2
