// ComboBox: a one-line text entry with a drop-down list of choices (a Menu)
// and an arrow button. Choosing an entry, moving with Up and Down, or (on
// a box that is not editable) typing a letter puts an item's text into the
// field; the owner hears "TextChanged" with the new text, once per real
// change. An editable box also takes typed text like any text entry. It
// leaves out sorting and separators in the list.
#pragma once

#include "vgui2/Button.h"
#include "vgui2/TextEntry.h"

class KeyValues;

namespace vgui2 {

class Menu;

// The arrow button: flat, with its own disabled background.
class ComboBoxButton : public Button {
    VGUI2_PANEL_CLASS(ComboBoxButton, Button);

public:
    ComboBoxButton(Panel* parent, const char* panelName, const char* text);

    Color GetButtonBgColor() override;

protected:
    void ApplySchemeSettings(IScheme* scheme) override;
    void OnCursorExited() override;

private:
    Color m_disabledBg;
};

class ComboBox : public TextEntry {
    VGUI2_PANEL_CLASS(ComboBox, TextEntry);

public:
    enum MenuDirection { UP = 2, DOWN = 3, CURSOR = 4, ALIGN_WITH_PARENT = 5 };

    ComboBox(Panel* parent, const char* panelName, int numLines, bool allowEdit);
    ~ComboBox() override;

    virtual void OnShowMenu(Menu* menu);
    virtual void OnHideMenu(Menu* menu);
    virtual void SetNumberOfEditLines(int numLines);
    // Returns the new item's ID; the user data is copied.
    virtual int AddItem(const wchar* itemText, const KeyValues* userData);
    virtual int AddItem(const char* itemText, const KeyValues* userData);
    virtual int GetItemCount();
    virtual bool UpdateItem(int itemID, const wchar* itemText, const KeyValues* userData);
    virtual bool UpdateItem(int itemID, const char* itemText, const KeyValues* userData);
    virtual bool IsItemIDValid(int itemID);
    virtual void SetItemEnabled(int itemID, bool state);
    virtual void SetItemEnabled(const char* itemName, bool state);
    virtual void RemoveAll();
    virtual void SetDropdownButtonVisible(bool state);
    virtual bool IsDropdownVisible();
    virtual void ActivateItem(int itemID);
    virtual void ActivateItemByRow(int row);
    virtual int GetActiveItem();
    virtual KeyValues* GetActiveItemUserData();
    virtual KeyValues* GetItemUserData(int itemID);
    int GetItemIDFromRow(int row);
    // The old menu is marked for deletion.
    virtual void SetMenu(Menu* menu);
    virtual Menu* GetMenu() { return m_menu; }
    virtual void ShowMenu();
    virtual void HideMenu();
    virtual void OnMenuClose();
    virtual void DoClick();
    virtual void SetOpenDirection(MenuDirection direction);
    void SetOpenOffsetY(int offset) { m_openOffsetY = offset; }
    virtual void SetUseFallbackFont(bool state, HFont fallback);
    virtual void OnMenuItemSelected();
    Button* GetDropdownButton() { return m_button; }

    void OnCommand(const char* command) override;

protected:
    void ApplySchemeSettings(IScheme* scheme) override;
    void PerformLayout() override;
    void OnSizeChanged(int newWide, int newTall) override;
    void OnCursorEntered() override;
    void OnCursorExited() override;
    void OnMousePressed(MouseCode code) override;
    void OnMouseDoublePressed(MouseCode code) override;
    void OnKeyCodeTyped(KeyCode code) override;
    void OnKeyTyped(wchar unichar) override;
    void OnSetTextMessage(const wchar* text) override;

private:
    void OnActivateItemMessage(int itemID);
    void PositionMenu();
    // The row whose item text equals the field's text, or -1.
    int RowOfCurrentText();
    std::u16string ItemText(int itemID);
    KeyValues* SetTextCommand(const wchar* itemText);
    void SelectRow(int row);

    Menu* m_menu = nullptr;
    ComboBoxButton* m_button = nullptr;
    MenuDirection m_direction = DOWN;
    int m_openOffsetY = 0;
    bool m_itemJustSelected = false;
};

}  // namespace vgui2
