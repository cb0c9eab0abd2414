// Menu: a popup list of MenuItem buttons. Rows follow insertion order; an
// item's ID is its slot in the item storage and stays stable while the item
// lives. The menu highlights by pointer or keyboard (key mode), scrolls
// with a scroll bar when it has more rows than it may show, opens cascading
// submenus, and on a choice hides itself and tells its parent which item
// was chosen. It reports closing and highlight changes as action signals
// and passes commands given to it on unchanged. It leaves out separators
// and sorting: rows are insertion order.
#pragma once

#include <string>
#include <vector>

#include "vgui2/Panel.h"

class KeyValues;

namespace vgui2 {

class MenuItem;
class ScrollBar;

class Menu : public Panel {
    VGUI2_PANEL_CLASS(Menu, Panel);

public:
    Menu(Panel* parent, const char* panelName);
    ~Menu() override;

    // Takes the item as a child; returns its ID.
    virtual int AddMenuItem(MenuItem* item);
    // The plain forms; a form without a name uses the text as the name.
    // Messages given are taken; user data is copied.
    virtual int AddMenuItem(const char* itemName, const char* itemText, const char* command, Panel* target,
                            const KeyValues* userData = nullptr);
    virtual int AddMenuItem(const char* itemName, const wchar* itemText, const char* command, Panel* target,
                            const KeyValues* userData = nullptr);
    virtual int AddMenuItem(const char* itemName, const char* itemText, KeyValues* message, Panel* target,
                            const KeyValues* userData = nullptr);
    virtual int AddMenuItem(const char* itemName, const wchar* itemText, KeyValues* message, Panel* target,
                            const KeyValues* userData = nullptr);
    virtual int AddMenuItem(const char* itemText, const char* command, Panel* target,
                            const KeyValues* userData = nullptr);
    virtual int AddMenuItem(const char* itemText, KeyValues* message, Panel* target,
                            const KeyValues* userData = nullptr);
    virtual int AddMenuItem(const wchar* itemText, KeyValues* message, Panel* target,
                            const KeyValues* userData = nullptr);
    // Checkable items toggle their tick on every choice.
    virtual int AddCheckableMenuItem(const char* itemName, const char* itemText, const char* command,
                                     Panel* target, const KeyValues* userData = nullptr);
    virtual int AddCheckableMenuItem(const char* itemName, const char* itemText, KeyValues* message,
                                     Panel* target, const KeyValues* userData = nullptr);
    virtual int AddCheckableMenuItem(const char* itemText, const char* command, Panel* target,
                                     const KeyValues* userData = nullptr);
    // Cascading items open the submenu, which becomes the item's child.
    virtual int AddCascadingMenuItem(const char* itemName, const char* itemText, const char* command,
                                     Panel* target, Menu* cascadeMenu, const KeyValues* userData = nullptr);
    virtual int AddCascadingMenuItem(const char* itemText, const char* command, Panel* target,
                                     Menu* cascadeMenu, const KeyValues* userData = nullptr);

    // Replace text and command; the user data only when given. The message
    // is taken.
    virtual void UpdateMenuItem(int itemID, const wchar* itemText, KeyValues* message,
                                const KeyValues* userData = nullptr);
    virtual void UpdateMenuItem(int itemID, const char* itemText, KeyValues* message,
                                const KeyValues* userData = nullptr);
    virtual bool IsValidMenuID(int itemID);
    virtual void SetItemEnabled(int itemID, bool state);
    virtual void SetItemEnabled(const char* itemName, bool state);
    // Hidden items keep their ID and row but take no space.
    virtual void SetItemVisible(int itemID, bool state);
    virtual void SetItemVisible(const char* itemName, bool state);
    // Marks every item for deletion; IDs start again from 0.
    virtual void DeleteAllItems();

    virtual void SetFixedWidth(int width);
    virtual void SetMinimumWidth(int width);
    virtual void SetMenuItemHeight(int itemHeight);
    virtual int GetMenuItemHeight();
    virtual void SetNumberOfVisibleItems(int numItems);
    int GetNumberOfVisibleItems() const { return m_numberOfVisibleItems; }
    virtual void ActivateItem(int itemID);
    virtual void ActivateItemByRow(int row);
    virtual int GetActiveItem();
    virtual int GetItemCount();
    // -1 when the row is out of range.
    virtual int GetMenuID(int row);
    // -1 for an unknown ID.
    int GetRowOfID(int itemID);
    virtual MenuItem* GetMenuItem(int itemID);
    virtual void SetFont(HFont font);
    HFont GetFont() const { return m_font; }
    void SetUseFallbackFont(bool state, HFont fallback);

    virtual int GetCurrentlyHighlightedItem();
    // Highlights the item, scrolls its row into view and arms it.
    virtual void SetCurrentlyHighlightedItem(int itemID);
    void ClearCurrentlyHighlightedItem();
    // The first visible row; non-zero only while the scroll bar shows.
    int GetScrollPosition();
    bool IsScrollBarShown() const { return m_scrollBarShown; }
    bool IsKeyMode() const { return m_keyMode; }
    // The submenu of this menu's item, when this menu is one.
    bool IsCascadingMenu();
    virtual void CloseOtherMenus(MenuItem* except);
    // The checkable look moves texts right so that ticks line up.
    int GetCheckImageInset() const { return m_checkImageWidth; }
    void InvalidateWidth() { m_recalculateWidth = true; }
    // Hides the menu unless the key focus is still in it (or, for a
    // submenu, back on the item or menu that opened it).
    void CloseIfFocusLeft();

    void SetVisible(bool state) override;
    void OnCommand(const char* command) override;

    // Handlers also called directly by the items.
    void OnMenuItemSelected(Panel* panel);
    void OnKeyModeSet();
    void OnCursorEnteredMenuItem(int vpanel);
    void OnCursorExitedMenuItem(int vpanel);

protected:
    void ApplySchemeSettings(IScheme* scheme) override;
    void PerformLayout() override;
    void PaintBackground() override;
    void OnKillFocus() override;
    void OnCursorMoved(int x, int y) override;
    void OnMouseWheeled(int delta) override;
    void OnKeyCodePressed(KeyCode code) override;
    void OnKeyCodeTyped(KeyCode code) override;
    void OnKeyTyped(wchar unichar) override;
    virtual void OnSliderMoved();
    // Moves the highlight by one row (-1 up, 1 down).
    virtual void MoveAlongMenuItemList(int direction);
    virtual void LayoutMenuBorder();
    virtual void PositionCascadingMenu();

private:
    struct Entry {
        HPanel item = kNoHandle;
        bool hidden = false;
    };

    int AddItemWith(MenuItem* item, KeyValues* command, Panel* target, const KeyValues* userData);
    MenuItem* ItemOfPanel(VPANEL panel, int* idOut);
    int IdOfItem(MenuItem* item);
    bool IsRowShown(int row);
    void SetHighlight(int itemID);
    void ScrollRowIntoView(int row);
    void ShowScrollBar(bool state);
    void ComputeWidth();
    void OpenSubmenu(MenuItem* item);
    int WorkspaceRight();
    int ProportionalScale();

    std::vector<Entry> m_items;
    std::vector<int> m_rows;
    int m_numberOfVisibleItems = 99;
    int m_menuItemHeight = 22;
    int m_scrollBarWidth = 18;
    int m_fixedWidth = 0;
    int m_minimumWidth = 0;
    int m_contentWidth = 0;
    ScrollBar* m_scrollBar = nullptr;
    int m_highlighted = -1;
    int m_activeItem = -1;
    bool m_keyMode = false;
    int m_checkImageWidth = 0;
    HFont m_font = 0;
    bool m_useFallbackFont = false;
    HFont m_fallbackFont = 0;
    Color m_borderDark;
    bool m_scrollBarShown = false;
    bool m_recalculateWidth = true;
};

}  // namespace vgui2
