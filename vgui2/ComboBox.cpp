#include "vgui2/ComboBox.h"

#include <algorithm>

#include "platform/Text.h"
#include "services/ILocalize.h"
#include "services/IScheme.h"
#include "services/ServicePointers.h"
#include "vgui2/KeyValues.h"
#include "vgui2/Menu.h"
#include "vgui2/MenuItem.h"
#include "vgui2/MenuPlacement.h"
#include "vgui2/TextImage.h"
#include "vgui2/WideText.h"

namespace vgui2 {

namespace {

constexpr int kButtonRightGap = 20;
constexpr int kButtonWide = 16;
constexpr int kButtonTop = 2;
constexpr std::size_t kTokenChars = 255;

wchar LowerAscii(wchar ch) { return ch >= u'A' && ch <= u'Z' ? static_cast<wchar>(ch - u'A' + u'a') : ch; }

}  // namespace

// Drop-down button ---------------------------------------------------------------

void ComboBoxButton::AddMessageHandlers(PanelMessageMap&) {}

ComboBoxButton::ComboBoxButton(Panel* parent, const char* panelName, const char* text)
    : Button(parent, panelName, text) {
    SetButtonActivationType(ACTIVATE_ONPRESSED);
    SetButtonBorderEnabled(false);
    SetPaintBorderEnabled(false);
    SetContentAlignment(a_center);
}

void ComboBoxButton::ApplySchemeSettings(IScheme* schemeData) {
    Button::ApplySchemeSettings(schemeData);
    Color arrow = GetSchemeColor("MenuButton/ButtonArrowColor", schemeData);
    Color background = GetSchemeColor("MenuButton/ButtonBgColor", schemeData);
    Color armedArrow = GetSchemeColor("MenuButton/ArmedArrowColor", schemeData);
    SetDefaultColor(arrow, background);
    SetArmedColor(armedArrow, background);
    SetDepressedColor(armedArrow, background);
    m_disabledBg = GetSchemeColor("ControlBG", schemeData);
    if (IImage* image = scheme()->GetImage("resource/icon_down", false)) {
        SetImageAtIndex(0, image, 0);
    }
}

Color ComboBoxButton::GetButtonBgColor() { return IsEnabled() ? Button::GetButtonBgColor() : m_disabledBg; }

void ComboBoxButton::OnCursorExited() {
    Button::OnCursorExited();
    CallParentFunction(new KeyValues("CursorExited"));
}

// Combo box ----------------------------------------------------------------------

void ComboBox::AddMessageHandlers(PanelMessageMap& map) {
    map.Add<&ComboBox::OnActivateItemMessage>("ActivateItem", "itemID");
    map.Add<&ComboBox::OnMenuItemSelected>("MenuItemSelected");
    map.Add<&ComboBox::OnMenuClose>("MenuClose");
}

ComboBox::ComboBox(Panel* parent, const char* panelName, int numLines, bool allowEdit)
    : TextEntry(parent, panelName) {
    SetEditable(allowEdit);
    m_menu = new Menu(this, "ComboBoxMenu");
    m_menu->SetNumberOfVisibleItems(numLines);
    m_menu->AddActionSignalTarget(this);
    m_button = new ComboBoxButton(this, "Button", "");
    m_button->SetCommand("ButtonClicked");
    m_button->AddActionSignalTarget(this);
    SetTextAreaRightInset(kButtonRightGap);
}

ComboBox::~ComboBox() = default;

void ComboBox::OnShowMenu(Menu*) {}

void ComboBox::OnHideMenu(Menu*) {}

void ComboBox::SetNumberOfEditLines(int numLines) { m_menu->SetNumberOfVisibleItems(numLines); }

// Items ------------------------------------------------------------------------

KeyValues* ComboBox::SetTextCommand(const wchar* itemText) {
    KeyValues* command = new KeyValues("SetText");
    command->SetWString("text", itemText ? itemText : u"");
    return command;
}

// The command carries the wide text: a narrow one would be cut to the
// message's conversion buffer on its way to the text rule.
int ComboBox::AddItem(const char* itemText, const KeyValues* userData) {
    std::u16string text = ToWide(itemText ? itemText : "");
    return m_menu->AddMenuItem(itemText, itemText, SetTextCommand(text.c_str()), this, userData);
}

int ComboBox::AddItem(const wchar* itemText, const KeyValues* userData) {
    std::string name = ToNarrow(itemText ? itemText : u"");
    return m_menu->AddMenuItem(name.c_str(), itemText, SetTextCommand(itemText), this, userData);
}

int ComboBox::GetItemCount() { return m_menu->GetItemCount(); }

bool ComboBox::UpdateItem(int itemID, const wchar* itemText, const KeyValues* userData) {
    if (!m_menu->IsValidMenuID(itemID)) {
        return false;
    }
    m_menu->UpdateMenuItem(itemID, itemText, SetTextCommand(itemText), userData);
    InvalidateLayout();
    return true;
}

bool ComboBox::UpdateItem(int itemID, const char* itemText, const KeyValues* userData) {
    std::u16string text = ToWide(itemText);
    return UpdateItem(itemID, text.c_str(), userData);
}

bool ComboBox::IsItemIDValid(int itemID) { return m_menu->IsValidMenuID(itemID); }

void ComboBox::SetItemEnabled(int itemID, bool state) { m_menu->SetItemEnabled(itemID, state); }

void ComboBox::SetItemEnabled(const char* itemName, bool state) { m_menu->SetItemEnabled(itemName, state); }

void ComboBox::RemoveAll() {
    m_menu->DeleteAllItems();
    InvalidateLayout();
}

void ComboBox::ActivateItem(int itemID) { m_menu->ActivateItem(itemID); }

void ComboBox::OnActivateItemMessage(int itemID) { ActivateItem(itemID); }

void ComboBox::ActivateItemByRow(int row) { m_menu->ActivateItemByRow(row); }

int ComboBox::GetActiveItem() { return m_menu->GetActiveItem(); }

int ComboBox::GetItemIDFromRow(int row) { return m_menu->GetMenuID(row); }

KeyValues* ComboBox::GetItemUserData(int itemID) {
    MenuItem* item = m_menu->GetMenuItem(itemID);
    return item && item->IsEnabled() ? item->GetUserData() : nullptr;
}

KeyValues* ComboBox::GetActiveItemUserData() { return GetItemUserData(GetActiveItem()); }

std::u16string ComboBox::ItemText(int itemID) {
    MenuItem* item = m_menu->GetMenuItem(itemID);
    return item ? item->GetTextImage()->GetWideText() : std::u16string();
}

int ComboBox::RowOfCurrentText() {
    for (int row = 0; row < GetItemCount(); ++row) {
        if (ItemText(m_menu->GetMenuID(row)) == GetWideText()) {
            return row;
        }
    }
    return -1;
}

void ComboBox::SelectRow(int row) {
    int itemID = m_menu->GetMenuID(row);
    if (itemID < 0) {
        return;
    }
    std::u16string text = ItemText(itemID);
    OnSetTextMessage(text.c_str());
    SelectAllText(false);
    m_menu->ActivateItem(itemID);
}

// Menu -------------------------------------------------------------------------

void ComboBox::SetMenu(Menu* menu) {
    if (m_menu) {
        m_menu->MarkForDeletion();
    }
    m_menu = menu;
    if (m_menu) {
        m_menu->SetVisible(false);
        m_menu->SetParent(this);
        m_menu->AddActionSignalTarget(this);
    }
}

void ComboBox::SetDropdownButtonVisible(bool state) {
    m_button->SetVisible(state);
    SetTextAreaRightInset(state ? kButtonRightGap : 0);
    InvalidateLayout();
}

bool ComboBox::IsDropdownVisible() { return m_menu && m_menu->IsVisible(); }

void ComboBox::SetOpenDirection(MenuDirection direction) { m_direction = direction; }

void ComboBox::SetUseFallbackFont(bool state, HFont fallback) { m_menu->SetUseFallbackFont(state, fallback); }

void ComboBox::PositionMenu() { PlaceMenuBesideOpener(this, m_menu, m_direction, m_openOffsetY); }

void ComboBox::DoClick() {
    if (!m_menu) {
        return;
    }
    if (m_menu->IsVisible()) {
        HideMenu();
        return;
    }
    if (!IsEnabled() || !m_menu->IsEnabled()) {
        return;
    }
    m_menu->PerformApplySchemeSettings();
    m_menu->SetFixedWidth(GetWide());
    m_menu->InvalidateLayout(true);
    int row = RowOfCurrentText();
    if (row >= 0) {
        m_menu->SetCurrentlyHighlightedItem(m_menu->GetMenuID(row));
        m_menu->InvalidateLayout(true);
    }
    PositionMenu();
    MoveToFront();
    Color background = m_menu->GetBgColor();
    background.a = 255;
    m_menu->SetBgColor(background);
    OnShowMenu(m_menu);
    m_menu->SetVisible(true);
    SelectNone();
    m_button->SetArmed(true);
    Repaint();
}

void ComboBox::ShowMenu() {
    HideMenu();
    DoClick();
}

void ComboBox::HideMenu() {
    if (!m_menu) {
        return;
    }
    if (m_menu->IsVisible()) {
        OnHideMenu(m_menu);
        m_menu->SetVisible(false);
    }
    Repaint();
}

void ComboBox::OnCommand(const char* command) {
    if (platform::CompareNoCase(command, "ButtonClicked") == 0) {
        DoClick();
        return;
    }
    TextEntry::OnCommand(command);
}

void ComboBox::OnMenuItemSelected() {
    m_itemJustSelected = true;
    Repaint();
}

void ComboBox::OnMenuClose() {
    if (ReclaimFocusFromEditMenu()) {
        return;
    }
    HideMenu();
    if (HasFocus()) {
        SelectAllText(false);
    } else if (m_itemJustSelected) {
        m_itemJustSelected = false;
        RequestFocus();
    } else if (IsCursorOver()) {
        SelectAllText(false);
        OnCursorEntered();
        RequestFocus();
    } else {
        m_button->SetArmed(false);
    }
}

// The text rule --------------------------------------------------------------------

void ComboBox::OnSetTextMessage(const wchar* text) {
    std::u16string newText = text ? text : u"";
    if (!newText.empty() && newText[0] == u'#') {
        std::string token = ToNarrow(newText.substr(0, kTokenChars));
        if (const wchar* localized = localize() ? localize()->Find(token.c_str() + 1) : nullptr) {
            newText = localized;
        }
    }
    // The whole texts are compared: two long texts that share their start
    // are still different choices.
    if (newText != GetWideText()) {
        SetText(newText.c_str());
        KeyValues* message = new KeyValues("TextChanged");
        message->SetWString("text", newText.c_str());
        PostActionSignal(message);
        Repaint();
    }
    HideMenu();
}

// Layout and look ------------------------------------------------------------------

void ComboBox::ApplySchemeSettings(IScheme* schemeData) {
    TextEntry::ApplySchemeSettings(schemeData);
    SetBorder(schemeData->GetBorder("ComboBoxBorder"));
}

void ComboBox::PerformLayout() {
    TextEntry::PerformLayout();
    int wide = 0, tall = 0;
    GetSize(wide, tall);
    m_button->SetBounds(wide - kButtonRightGap, kButtonTop, kButtonWide, tall - kButtonTop);
    SetCursor(IsEditable() ? dc_ibeam : dc_arrow);
    m_button->SetEnabled(IsEnabled());
    if (IsDropdownVisible()) {
        PositionMenu();
    }
}

void ComboBox::OnSizeChanged(int newWide, int newTall) {
    TextEntry::OnSizeChanged(newWide, newTall);
    SetTextAreaRightInset(m_button->IsVisible() ? kButtonRightGap : 0);
}

// Pointer ----------------------------------------------------------------------------

void ComboBox::OnCursorEntered() { m_button->SetArmed(true); }

void ComboBox::OnCursorExited() {
    if (!IsDropdownVisible()) {
        m_button->SetArmed(false);
    }
}

void ComboBox::OnMousePressed(MouseCode code) {
    if (!m_menu || !IsEnabled()) {
        return;
    }
    if (!IsCursorOver()) {
        HideMenu();
        return;
    }
    if (IsEditable()) {
        TextEntry::OnMousePressed(code);
        HideMenu();
        return;
    }
    // Taking the focus closes an open list through its focus loss; the
    // press must then leave it closed instead of opening it again.
    bool wasShown = IsDropdownVisible();
    RequestFocus();
    if (wasShown) {
        HideMenu();
    } else {
        DoClick();
    }
}

void ComboBox::OnMouseDoublePressed(MouseCode code) {
    if (IsEditable()) {
        TextEntry::OnMouseDoublePressed(code);
        return;
    }
    OnMousePressed(code);
}

// Keys ---------------------------------------------------------------------------------

void ComboBox::OnKeyCodeTyped(KeyCode code) {
    if (code != KEY_UP && code != KEY_DOWN) {
        TextEntry::OnKeyCodeTyped(code);
        return;
    }
    int row = RowOfCurrentText();
    if (row < 0) {
        return;
    }
    int next = std::clamp(row + (code == KEY_UP ? -1 : 1), 0, GetItemCount() - 1);
    SelectRow(next);
}

void ComboBox::OnKeyTyped(wchar unichar) {
    if (IsEditable()) {
        TextEntry::OnKeyTyped(unichar);
        return;
    }
    int count = GetItemCount();
    if (count == 0 || unichar < 32) {
        return;
    }
    int startRow = std::max(0, m_menu->GetRowOfID(GetActiveItem()));
    int chosen = startRow;
    for (int step = 1; step <= count; ++step) {
        int row = (startRow + step) % count;
        std::u16string text = ItemText(m_menu->GetMenuID(row));
        if (!text.empty() && LowerAscii(text[0]) == LowerAscii(unichar)) {
            chosen = row;
            break;
        }
    }
    SelectRow(chosen);
}

}  // namespace vgui2
