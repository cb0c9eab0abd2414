#include "vgui2/Menu.h"

#include <algorithm>

#include "platform/Text.h"
#include "services/IInput.h"
#include "services/IPanel.h"
#include "services/IScheme.h"
#include "services/ISurface.h"
#include "services/ServicePointers.h"
#include "vgui2/KeyValues.h"
#include "vgui2/MenuItem.h"
#include "vgui2/PanelHandles.h"
#include "vgui2/ScrollBar.h"
#include "vgui2/TextImage.h"
#include "vgui2/WideText.h"

namespace vgui2 {

namespace {

constexpr int kWidthPadding = 8;
constexpr int kCheckImageGap = 6;

wchar LowerAscii(wchar ch) { return ch >= u'A' && ch <= u'Z' ? static_cast<wchar>(ch - u'A' + u'a') : ch; }

bool IsAltDown() { return input()->IsKeyDown(KEY_LALT) || input()->IsKeyDown(KEY_RALT); }

}  // namespace

void Menu::AddMessageHandlers(PanelMessageMap& map) {
    map.Add<&Menu::OnMenuItemSelected>("MenuItemSelected", "panel");
    map.Add<&Menu::OnSliderMoved>("ScrollBarSliderMoved");
    map.Add<&Menu::OnKeyModeSet>("KeyModeSet");
    map.Add<&Menu::OnCursorEnteredMenuItem>("CursorEnteredMenuItem", "VPanel");
    map.Add<&Menu::OnCursorExitedMenuItem>("CursorExitedMenuItem", "VPanel");
}

Menu::Menu(Panel* parent, const char* panelName) : Panel(parent, panelName) {
    MakePopup(false);
    Panel::SetVisible(false);
    m_scrollBar = new ScrollBar(this, "MenuScrollBar", true);
    m_scrollBar->SetVisible(false);
    m_scrollBar->AddActionSignalTarget(this);
}

Menu::~Menu() = default;

// Adding items ---------------------------------------------------------------

int Menu::AddMenuItem(MenuItem* item) {
    item->SetParent(this);
    m_items.push_back({HandleOf(item), false});
    int id = static_cast<int>(m_items.size()) - 1;
    m_rows.push_back(id);
    m_recalculateWidth = true;
    InvalidateLayout();
    if (m_font) {
        item->SetFont(m_font);
    }
    if (m_useFallbackFont) {
        item->GetTextImage()->SetUseFallbackFont(true, m_fallbackFont);
    }
    return id;
}

int Menu::AddItemWith(MenuItem* item, KeyValues* command, Panel* target, const KeyValues* userData) {
    item->SetCommand(command);
    if (target) {
        item->AddActionSignalTarget(target);
    }
    item->SetUserData(userData);
    return AddMenuItem(item);
}

static KeyValues* CommandMessage(const char* command) {
    KeyValues* message = new KeyValues("Command");
    message->SetString("command", command ? command : "");
    return message;
}

int Menu::AddMenuItem(const char* itemName, const char* itemText, const char* command, Panel* target,
                      const KeyValues* userData) {
    return AddItemWith(new MenuItem(this, itemName, itemText), CommandMessage(command), target, userData);
}

int Menu::AddMenuItem(const char* itemName, const wchar* itemText, const char* command, Panel* target,
                      const KeyValues* userData) {
    return AddItemWith(new MenuItem(this, itemName, itemText), CommandMessage(command), target, userData);
}

int Menu::AddMenuItem(const char* itemName, const char* itemText, KeyValues* message, Panel* target,
                      const KeyValues* userData) {
    return AddItemWith(new MenuItem(this, itemName, itemText), message, target, userData);
}

int Menu::AddMenuItem(const char* itemName, const wchar* itemText, KeyValues* message, Panel* target,
                      const KeyValues* userData) {
    return AddItemWith(new MenuItem(this, itemName, itemText), message, target, userData);
}

int Menu::AddMenuItem(const char* itemText, const char* command, Panel* target, const KeyValues* userData) {
    return AddMenuItem(itemText, itemText, command, target, userData);
}

int Menu::AddMenuItem(const char* itemText, KeyValues* message, Panel* target, const KeyValues* userData) {
    return AddMenuItem(itemText, itemText, message, target, userData);
}

int Menu::AddMenuItem(const wchar* itemText, KeyValues* message, Panel* target, const KeyValues* userData) {
    std::string name = ToNarrow(itemText ? std::u16string(itemText) : std::u16string());
    return AddMenuItem(name.c_str(), itemText, message, target, userData);
}

int Menu::AddCheckableMenuItem(const char* itemName, const char* itemText, const char* command, Panel* target,
                               const KeyValues* userData) {
    return AddCheckableMenuItem(itemName, itemText, CommandMessage(command), target, userData);
}

int Menu::AddCheckableMenuItem(const char* itemName, const char* itemText, KeyValues* message, Panel* target,
                               const KeyValues* userData) {
    return AddItemWith(new MenuItem(this, itemName, itemText, nullptr, true), message, target, userData);
}

int Menu::AddCheckableMenuItem(const char* itemText, const char* command, Panel* target,
                               const KeyValues* userData) {
    return AddCheckableMenuItem(itemText, itemText, command, target, userData);
}

int Menu::AddCascadingMenuItem(const char* itemName, const char* itemText, const char* command, Panel* target,
                               Menu* cascadeMenu, const KeyValues* userData) {
    return AddItemWith(new MenuItem(this, itemName, itemText, cascadeMenu), CommandMessage(command), target,
                       userData);
}

int Menu::AddCascadingMenuItem(const char* itemText, const char* command, Panel* target, Menu* cascadeMenu,
                               const KeyValues* userData) {
    return AddCascadingMenuItem(itemText, itemText, command, target, cascadeMenu, userData);
}

// Items by ID ----------------------------------------------------------------

MenuItem* Menu::GetMenuItem(int itemID) {
    if (itemID < 0 || itemID >= static_cast<int>(m_items.size())) {
        return nullptr;
    }
    Panel* panel = PanelFromHandle(m_items[static_cast<std::size_t>(itemID)].item);
    auto* item = dynamic_cast<MenuItem*>(panel);
    return item && !item->IsMarkedForDeletion() ? item : nullptr;
}

bool Menu::IsValidMenuID(int itemID) { return GetMenuItem(itemID) != nullptr; }

int Menu::IdOfItem(MenuItem* item) {
    if (!item) {
        return -1;
    }
    HPanel handle = HandleOf(item);
    for (std::size_t id = 0; id < m_items.size(); ++id) {
        if (m_items[id].item == handle) {
            return static_cast<int>(id);
        }
    }
    return -1;
}

MenuItem* Menu::ItemOfPanel(VPANEL panel, int* idOut) {
    auto* item = dynamic_cast<MenuItem*>(PanelFromId(panel));
    int id = IdOfItem(item);
    if (idOut) {
        *idOut = id;
    }
    return id >= 0 ? item : nullptr;
}

void Menu::UpdateMenuItem(int itemID, const wchar* itemText, KeyValues* message, const KeyValues* userData) {
    MenuItem* item = GetMenuItem(itemID);
    if (!item) {
        KeyValues::Destroy(message);
        return;
    }
    item->SetText(itemText);
    item->SetCommand(message);
    if (userData) {
        item->SetUserData(userData);
    }
    m_recalculateWidth = true;
    InvalidateLayout();
}

void Menu::UpdateMenuItem(int itemID, const char* itemText, KeyValues* message, const KeyValues* userData) {
    std::u16string text = ToWide(itemText);
    UpdateMenuItem(itemID, text.c_str(), message, userData);
}

void Menu::SetItemEnabled(int itemID, bool state) {
    if (MenuItem* item = GetMenuItem(itemID)) {
        item->SetEnabled(state);
    }
}

void Menu::SetItemEnabled(const char* itemName, bool state) {
    for (std::size_t id = 0; id < m_items.size(); ++id) {
        MenuItem* item = GetMenuItem(static_cast<int>(id));
        if (item && itemName && platform::CompareNoCase(item->GetName(), itemName) == 0) {
            item->SetEnabled(state);
        }
    }
}

void Menu::SetItemVisible(int itemID, bool state) {
    if (IsValidMenuID(itemID)) {
        m_items[static_cast<std::size_t>(itemID)].hidden = !state;
        m_recalculateWidth = true;
        InvalidateLayout();
    }
}

void Menu::SetItemVisible(const char* itemName, bool state) {
    for (std::size_t id = 0; id < m_items.size(); ++id) {
        MenuItem* item = GetMenuItem(static_cast<int>(id));
        if (item && itemName && platform::CompareNoCase(item->GetName(), itemName) == 0) {
            SetItemVisible(static_cast<int>(id), state);
        }
    }
}

void Menu::DeleteAllItems() {
    for (std::size_t id = 0; id < m_items.size(); ++id) {
        if (MenuItem* item = GetMenuItem(static_cast<int>(id))) {
            // Hidden at once: a marked item stays a child until the GUI
            // loop deletes it and must not be painted or hit meanwhile.
            item->SetVisible(false);
            item->MarkForDeletion();
        }
    }
    m_items.clear();
    m_rows.clear();
    m_highlighted = -1;
    m_activeItem = -1;
    m_recalculateWidth = true;
    InvalidateLayout();
}

int Menu::GetItemCount() { return static_cast<int>(m_rows.size()); }

int Menu::GetMenuID(int row) {
    if (row < 0 || row >= static_cast<int>(m_rows.size())) {
        return -1;
    }
    return m_rows[static_cast<std::size_t>(row)];
}

int Menu::GetRowOfID(int itemID) {
    auto it = std::find(m_rows.begin(), m_rows.end(), itemID);
    return it == m_rows.end() ? -1 : static_cast<int>(it - m_rows.begin());
}

void Menu::ActivateItem(int itemID) {
    MenuItem* item = GetMenuItem(itemID);
    if (!item || !item->IsEnabled()) {
        return;
    }
    item->FireActionSignal();
    m_activeItem = itemID;
}

void Menu::ActivateItemByRow(int row) { ActivateItem(GetMenuID(row)); }

int Menu::GetActiveItem() { return m_activeItem; }

// Sizes and fonts ------------------------------------------------------------

void Menu::SetFixedWidth(int width) {
    m_fixedWidth = width;
    InvalidateLayout();
}

void Menu::SetMinimumWidth(int width) {
    m_minimumWidth = width;
    InvalidateLayout();
}

void Menu::SetMenuItemHeight(int itemHeight) {
    m_menuItemHeight = itemHeight;
    InvalidateLayout();
}

int Menu::ProportionalScale() {
    if (!IsProportional()) {
        return 1;
    }
    int wide = 0, tall = 0;
    surface()->GetScreenSize(wide, tall);
    // A screen lower than the base height would truncate the factor to 0
    // and collapse every row; such screens keep the unscaled size.
    return std::max(1, tall / kProportionalBaseTall);
}

int Menu::GetMenuItemHeight() {
    int height = m_font ? surface()->GetFontTall(m_font) + 2 : m_menuItemHeight;
    return height * ProportionalScale();
}

void Menu::SetNumberOfVisibleItems(int numItems) {
    m_numberOfVisibleItems = std::max(1, numItems);
    InvalidateLayout();
}

void Menu::SetFont(HFont font) {
    m_font = font;
    for (std::size_t id = 0; id < m_items.size(); ++id) {
        if (MenuItem* item = GetMenuItem(static_cast<int>(id))) {
            item->SetFont(font);
        }
    }
    m_recalculateWidth = true;
    InvalidateLayout();
}

void Menu::SetUseFallbackFont(bool state, HFont fallback) {
    m_useFallbackFont = state;
    m_fallbackFont = fallback;
    for (std::size_t id = 0; id < m_items.size(); ++id) {
        if (MenuItem* item = GetMenuItem(static_cast<int>(id))) {
            item->GetTextImage()->SetUseFallbackFont(state, fallback);
        }
    }
}

void Menu::ComputeWidth() {
    int widest = 0;
    m_checkImageWidth = 0;
    for (int id : m_rows) {
        MenuItem* item = GetMenuItem(id);
        if (!item) {
            continue;
        }
        if (item->IsCheckable()) {
            int wide = 0, tall = 0;
            item->GetCheckImageSize(wide, tall);
            m_checkImageWidth = std::max(m_checkImageWidth, wide + kCheckImageGap);
        }
    }
    for (int id : m_rows) {
        MenuItem* item = GetMenuItem(id);
        if (!item || m_items[static_cast<std::size_t>(id)].hidden) {
            continue;
        }
        item->SetCheckInset(m_checkImageWidth);
        int wide = 0, tall = 0;
        item->GetContentSize(wide, tall);
        widest = std::max(widest, wide);
    }
    m_contentWidth = std::max(widest + kWidthPadding, m_minimumWidth);
    m_recalculateWidth = false;
}

// Layout ---------------------------------------------------------------------

int Menu::GetScrollPosition() { return m_scrollBarShown ? m_scrollBar->GetValue() : 0; }

bool Menu::IsRowShown(int row) {
    int first = GetScrollPosition();
    int last = m_scrollBarShown ? first + m_numberOfVisibleItems : GetItemCount();
    return row >= first && row < last;
}

void Menu::ShowScrollBar(bool state) {
    m_scrollBarShown = state;
    m_scrollBar->SetVisible(state);
    if (!state) {
        m_scrollBar->SetValue(0);
    }
}

void Menu::LayoutMenuBorder() {
    if (IScheme* schemeData = scheme()->GetIScheme(GetScheme())) {
        SetBorder(schemeData->GetBorder("MenuBorder"));
    }
}

void Menu::PerformLayout() {
    ShowScrollBar(m_numberOfVisibleItems < GetItemCount());
    if (m_scrollBarShown) {
        int maxFirst = GetItemCount() - m_numberOfVisibleItems;
        m_scrollBar->SetValue(std::clamp(m_scrollBar->GetValue(), 0, maxFirst));
    }
    LayoutMenuBorder();
    int left = 0, top = 0, right = 0, bottom = 0;
    GetInset(left, top, right, bottom);
    if (m_recalculateWidth) {
        ComputeWidth();
    }
    int itemHeight = GetMenuItemHeight();
    int scrollBarWidth = m_scrollBarShown ? m_scrollBarWidth * ProportionalScale() : 0;
    int width = m_fixedWidth > 0 ? m_fixedWidth - scrollBarWidth : m_contentWidth;
    int y = 0;
    for (int row = 0; row < GetItemCount(); ++row) {
        int id = m_rows[static_cast<std::size_t>(row)];
        MenuItem* item = GetMenuItem(id);
        if (!item) {
            continue;
        }
        bool shown = IsRowShown(row) && !m_items[static_cast<std::size_t>(id)].hidden;
        item->SetVisible(shown);
        if (!shown) {
            continue;
        }
        if (m_font) {
            item->SetFont(m_font);
        }
        item->SetCheckInset(m_checkImageWidth);
        // Children are placed from the panel's corner; the border's insets
        // keep them off the border.
        item->SetBounds(left, top + y, width - left - right, itemHeight);
        item->InvalidateLayout();
        y += itemHeight;
    }
    SetSize(width + scrollBarWidth, y + top + bottom);
    PositionCascadingMenu();
    if (m_scrollBarShown) {
        m_scrollBar->SetRange(0, GetItemCount());
        m_scrollBar->SetRangeWindow(m_numberOfVisibleItems);
        m_scrollBar->SetButtonPressedScrollValue(1);
        m_scrollBar->SetBounds(width - right, top, scrollBarWidth, y);
    }
    Repaint();
}

int Menu::WorkspaceRight() {
    int x = 0, y = 0, wide = 0, tall = 0;
    surface()->GetWorkspaceBounds(x, y, wide, tall);
    return x + wide;
}

bool Menu::IsCascadingMenu() { return dynamic_cast<MenuItem*>(GetParent()) != nullptr; }

void Menu::PositionCascadingMenu() {
    auto* item = dynamic_cast<MenuItem*>(GetParent());
    if (!item) {
        return;
    }
    int itemX = 0, itemY = 0;
    item->LocalToScreen(itemX, itemY);
    int x = itemX + item->GetWide();
    if (x + GetWide() > WorkspaceRight()) {
        x = itemX - GetWide() - 2;
    }
    SetPos(x, itemY - 1);
}

void Menu::ApplySchemeSettings(IScheme* schemeData) {
    Panel::ApplySchemeSettings(schemeData);
    SetFgColor(GetSchemeColor("Menu/FgColor", GetFgColor(), schemeData));
    SetBgColor(GetSchemeColor("Menu/BgColor", GetBgColor(), schemeData));
    m_borderDark = schemeData->GetColor("BorderDark", Color(255, 255, 255, 0));
    InvalidateLayout();
}

void Menu::PaintBackground() {
    Panel::PaintBackground();
    if (!m_scrollBarShown) {
        return;
    }
    int x = 0, y = 0, wide = 0, tall = 0;
    m_scrollBar->GetBounds(x, y, wide, tall);
    surface()->DrawSetColor(m_borderDark);
    surface()->DrawFilledRect(x - 1, y, x, y + tall);
}

// Highlight and movement -----------------------------------------------------

int Menu::GetCurrentlyHighlightedItem() { return m_highlighted; }

void Menu::SetHighlight(int itemID) {
    if (itemID == m_highlighted) {
        return;
    }
    if (MenuItem* old = GetMenuItem(m_highlighted)) {
        old->DisarmItem();
    }
    PostActionSignal(new KeyValues("MenuItemHighlight", "itemID", itemID));
    m_highlighted = itemID;
}

void Menu::SetCurrentlyHighlightedItem(int itemID) {
    SetHighlight(itemID);
    ScrollRowIntoView(GetRowOfID(itemID));
    MenuItem* item = GetMenuItem(itemID);
    if (item && !item->IsArmed()) {
        item->ArmItem();
    }
}

void Menu::ClearCurrentlyHighlightedItem() { SetHighlight(-1); }

void Menu::ScrollRowIntoView(int row) {
    if (!m_scrollBarShown || row < 0) {
        return;
    }
    int first = m_scrollBar->GetValue();
    if (row < first) {
        m_scrollBar->SetValue(row);
    } else if (row >= first + m_numberOfVisibleItems) {
        m_scrollBar->SetValue(row - m_numberOfVisibleItems + 1);
    } else {
        return;
    }
    InvalidateLayout();
}

void Menu::MoveAlongMenuItemList(int direction) {
    int count = GetItemCount();
    if (count == 0) {
        return;
    }
    int row = GetRowOfID(m_highlighted);
    for (int attempt = 0; attempt < count; ++attempt) {
        row += direction;
        if (row >= count) {
            row = m_scrollBarShown ? count - 1 : 0;
        } else if (row < 0) {
            row = m_scrollBarShown ? GetScrollPosition() : count - 1;
        }
        ScrollRowIntoView(row);
        int id = GetMenuID(row);
        SetHighlight(id);
        MenuItem* item = GetMenuItem(id);
        bool skip = !item || item->GetTextImage()->GetWideText().empty() ||
                    m_items[static_cast<std::size_t>(id)].hidden;
        if (!skip) {
            return;
        }
    }
}

void Menu::CloseOtherMenus(MenuItem* except) {
    for (int id : m_rows) {
        MenuItem* item = GetMenuItem(id);
        if (item && item != except && item->HasMenu()) {
            item->CloseCascadeMenu();
        }
    }
}

void Menu::OpenSubmenu(MenuItem* item) {
    item->OpenCascadeMenu();
    item->ArmItem();
}

// Messages ---------------------------------------------------------------------

void Menu::OnMenuItemSelected(Panel* panel) {
    int id = IdOfItem(dynamic_cast<MenuItem*>(panel));
    if (id >= 0) {
        m_activeItem = id;
    }
    if (auto* item = dynamic_cast<MenuItem*>(GetParent())) {
        if (Menu* holder = item->GetParentMenu()) {
            KeyValues* message = new KeyValues("MenuItemSelected");
            message->SetPtr("panel", panel);
            PostMessage(holder, message);
        }
    }
    // The owner hears of the choice before the "MenuClose" that hiding
    // sends, so it knows the close came from a choice.
    if (GetVParent()) {
        KeyValues* message = new KeyValues("MenuItemSelected");
        message->SetPtr("panel", panel);
        PostMessage(GetVParent(), message);
    }
    SetVisible(false);
}

void Menu::OnSliderMoved() {
    CloseOtherMenus(nullptr);
    InvalidateLayout();
    Repaint();
}

void Menu::OnKeyModeSet() { m_keyMode = true; }

void Menu::OnCursorEnteredMenuItem(int vpanel) {
    if (m_keyMode) {
        return;
    }
    int id = -1;
    MenuItem* item = ItemOfPanel(static_cast<VPANEL>(vpanel), &id);
    if (!item) {
        return;
    }
    item->ArmItem();
    if (item->HasMenu()) {
        OpenSubmenu(item);
    }
    SetHighlight(id);
}

void Menu::OnCursorExitedMenuItem(int vpanel) {
    if (m_keyMode) {
        return;
    }
    if (MenuItem* item = ItemOfPanel(static_cast<VPANEL>(vpanel), nullptr)) {
        item->DisarmItem();
    }
}

void Menu::OnCommand(const char* command) { PostActionSignal(CommandMessage(command)); }

// Showing and hiding ---------------------------------------------------------

void Menu::SetVisible(bool state) {
    bool wasVisible = IsVisible();
    Panel::SetVisible(state);
    if (state) {
        MoveToFront();
        RequestFocus();
        return;
    }
    if (!wasVisible) {
        return;
    }
    PostActionSignal(new KeyValues("MenuClose"));
    CloseOtherMenus(nullptr);
    ClearCurrentlyHighlightedItem();
    ShowScrollBar(false);
}

void Menu::OnKillFocus() {
    Panel::OnKillFocus();
    CloseIfFocusLeft();
}

void Menu::CloseIfFocusLeft() {
    if (!IsVisible()) {
        return;
    }
    VPANEL focus = input()->GetFocus();
    // Focus moving into one of our own submenus (or items) is not leaving.
    if (focus && ipanel()->HasParent(focus, GetVPanel())) {
        return;
    }
    if (auto* item = dynamic_cast<MenuItem*>(GetParent()); item && !m_keyMode) {
        Menu* holder = item->GetParentMenu();
        if (focus == item->GetVPanel() || (holder && focus == holder->GetVPanel())) {
            MoveToFront();
            return;
        }
    }
    SetVisible(false);
}

// Input ------------------------------------------------------------------------

void Menu::OnCursorMoved(int x, int y) {
    m_keyMode = false;
    CallParentFunction(new KeyValues("OnCursorMoved", "x", x, "y", y));
    RequestFocus();
    InvalidateLayout();
}

void Menu::OnMouseWheeled(int delta) {
    if (!m_scrollBarShown) {
        return;
    }
    m_scrollBar->SetValue(m_scrollBar->GetValue() - delta);
    InvalidateLayout();
}

void Menu::OnKeyCodePressed(KeyCode code) {
    m_keyMode = true;
    if (GetVParent()) {
        PostMessage(GetVParent(), new KeyValues("KeyModeSet"));
    }
    // Keys the menu uses must not also reach the owner (Escape would close
    // the owner's window); only Alt combinations go on.
    if (IsAltDown()) {
        Panel::OnKeyCodePressed(code);
    }
}

void Menu::OnKeyCodeTyped(KeyCode code) {
    if (!IsEnabled()) {
        Panel::OnKeyCodeTyped(code);
        return;
    }
    if (IsAltDown()) {
        Panel::OnKeyCodeTyped(code);
        PostActionSignal(new KeyValues("MenuClose"));
        return;
    }
    switch (code) {
        case KEY_ENTER:
        case KEY_PAD_ENTER:
            if (IsValidMenuID(m_highlighted)) {
                ActivateItem(m_highlighted);
            } else {
                Panel::OnKeyCodeTyped(code);
            }
            break;
        case KEY_ESCAPE:
            SetVisible(false);
            break;
        case KEY_UP:
        case KEY_DOWN:
            MoveAlongMenuItemList(code == KEY_UP ? -1 : 1);
            if (MenuItem* item = GetMenuItem(m_highlighted)) {
                item->ArmItem();
            }
            break;
        case KEY_LEFT:
            if (IsCascadingMenu()) {
                SetVisible(false);
            } else {
                Panel::OnKeyCodeTyped(code);
            }
            break;
        case KEY_RIGHT: {
            MenuItem* item = GetMenuItem(m_highlighted);
            if (item && item->HasMenu()) {
                ActivateItem(m_highlighted);
            } else {
                Panel::OnKeyCodeTyped(code);
            }
            break;
        }
        default:
            break;
    }
}

void Menu::OnKeyTyped(wchar unichar) {
    if (!IsEnabled()) {
        Panel::OnKeyTyped(unichar);
        return;
    }
    int count = GetItemCount();
    if (count == 0 || unichar < 32) {
        return;
    }
    int start = GetRowOfID(m_highlighted);
    for (int step = 1; step <= count; ++step) {
        int row = ((start < 0 ? -1 : start) + step) % count;
        int id = GetMenuID(row);
        MenuItem* item = GetMenuItem(id);
        if (!item || m_items[static_cast<std::size_t>(id)].hidden) {
            continue;
        }
        const std::u16string& text = item->GetTextImage()->GetWideText();
        if (!text.empty() && LowerAscii(text[0]) == LowerAscii(unichar)) {
            SetCurrentlyHighlightedItem(id);
            return;
        }
    }
}

}  // namespace vgui2
