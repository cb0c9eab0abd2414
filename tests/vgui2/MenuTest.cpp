// Menu, MenuItem and MenuButton: rows and IDs, keyboard movement with and
// without the scroll bar, typed letters, choosing by pointer and by Enter,
// checkable items, Escape and focus loss, cascading submenus and where they
// open, and where a menu button drops its menu.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/vgui2/ToolkitTestServices.h"
#include "vgui2/KeyValues.h"
#include "vgui2/Menu.h"
#include "vgui2/MenuButton.h"
#include "vgui2/MenuItem.h"
#include "vgui2/ScrollBar.h"

namespace {

using vgui2::Menu;
using vgui2::MenuItem;

// A container that also records the menu's own signals.
class MenuOwner : public toolkittest::RecordingContainer {
public:
    using RecordingContainer::RecordingContainer;

    bool OnMessage(KeyValues* params, vgui2::VPANEL fromPanel) override {
        std::string name = params->GetName();
        if (name == "MenuItemSelected") {
            selected.push_back(params->GetPtr("panel"));
        } else if (name == "MenuClose") {
            ++closes;
        } else if (name == "MenuItemHighlight") {
            highlights.push_back(params->GetInt("itemID"));
        }
        return RecordingContainer::OnMessage(params, fromPanel);
    }

    std::vector<void*> selected;
    int closes = 0;
    std::vector<int> highlights;
};

class MenuTest : public toolkittest::ToolkitTest {
protected:
    void SetUp() override {
        ToolkitTest::SetUp();
        owner = new MenuOwner(nullptr, "owner");
        owner->SetSize(800, 600);
        menu = new Menu(owner, "menu");
        menu->AddActionSignalTarget(owner);
    }

    void TearDown() override {
        delete owner;
        ToolkitTest::TearDown();
    }

    void AddItems(int count) {
        static const char* const kNames[] = {"Alpha", "Bravo", "Charlie", "Delta", "Echo",
                                             "Foxtrot", "Golf", "Hotel", "India", "Juliet"};
        for (int i = 0; i < count; ++i) {
            menu->AddMenuItem(kNames[i], (std::string("cmd") + kNames[i]).c_str(), owner);
        }
    }

    void Open(Menu* which, int x = 100, int y = 100) {
        which->SetPos(x, y);
        which->SetVisible(true);
        which->InvalidateLayout(true);
        Deliver();
    }

    void Key(vgui2::KeyCode code) {
        TypeKey(code);
        Deliver();
    }

    void Type(vgui2::wchar ch) {
        TheInput().InternalKeyTyped(ch);
        Deliver();
    }

    void ClickAt(int x, int y) {
        TheInput().InternalCursorMoved(x, y);
        Deliver();
        TheInput().InternalMousePressed(vgui2::MOUSE_LEFT);
        TheInput().InternalMouseReleased(vgui2::MOUSE_LEFT);
        Deliver();
    }

    // The screen centre of the item in the given row.
    void RowCentre(Menu* which, int row, int& x, int& y) {
        MenuItem* item = which->GetMenuItem(which->GetMenuID(row));
        x = item->GetWide() / 2;
        y = item->GetTall() / 2;
        item->LocalToScreen(x, y);
    }

    int HighlightedRow() { return menu->GetRowOfID(menu->GetCurrentlyHighlightedItem()); }

    MenuOwner* owner = nullptr;
    Menu* menu = nullptr;
};

TEST_F(MenuTest, IdsFollowInsertionAndStayValidOnlyForLiveItems) {
    AddItems(3);
    EXPECT_EQ(menu->GetItemCount(), 3);
    EXPECT_EQ(menu->GetMenuID(0), 0);
    EXPECT_EQ(menu->GetMenuID(2), 2);
    EXPECT_EQ(menu->GetMenuID(3), -1);
    EXPECT_EQ(menu->GetMenuID(-1), -1);
    EXPECT_TRUE(menu->IsValidMenuID(2));
    EXPECT_FALSE(menu->IsValidMenuID(3));
    EXPECT_FALSE(menu->IsValidMenuID(-1));

    // Updating an unknown ID changes nothing and must not leak the command.
    menu->UpdateMenuItem(7, "Nope", new KeyValues("Command"));
    menu->UpdateMenuItem(1, "Renamed", new KeyValues("Command"));
    char text[32];
    menu->GetMenuItem(1)->GetText(text, sizeof(text));
    EXPECT_STREQ(text, "Renamed");

    MenuItem* old = menu->GetMenuItem(0);
    menu->DeleteAllItems();
    EXPECT_FALSE(old->IsVisible()) << "an item waiting for deletion must not show";
    TheVGui().RunFrame();
    EXPECT_EQ(menu->GetItemCount(), 0);
    EXPECT_FALSE(menu->IsValidMenuID(0));
    EXPECT_EQ(menu->AddMenuItem("Again", "again", owner), 0);
}

TEST_F(MenuTest, LayoutStacksRowsAndSizesToTheWidestText) {
    AddItems(3);
    Open(menu);
    // "Charlie" is 7 characters of 6 pixels, plus the text inset and padding.
    int widest = 7 * kCharWidth + 6 + 8;
    EXPECT_EQ(menu->GetWide(), widest);
    EXPECT_EQ(menu->GetTall(), 3 * 22);
    int x = 0, y = 0;
    menu->GetMenuItem(2)->GetPos(x, y);
    EXPECT_EQ(y, 44);
    EXPECT_FALSE(menu->IsScrollBarShown());

    menu->SetFixedWidth(150);
    menu->InvalidateLayout(true);
    EXPECT_EQ(menu->GetWide(), 150);
    EXPECT_EQ(menu->GetMenuItem(0)->GetWide(), 150);
}

TEST_F(MenuTest, ProportionalRowsScaleWithTheScreenButNeverVanish) {
    AddItems(2);
    menu->SetProportional(true);
    surface.screenTall = 960;
    Open(menu);
    EXPECT_EQ(menu->GetMenuItemHeight(), 44);
    EXPECT_EQ(menu->GetTall(), 88);
    surface.screenTall = 400;
    menu->InvalidateLayout(true);
    EXPECT_EQ(menu->GetMenuItemHeight(), 22) << "a low screen keeps rows usable";
}

TEST_F(MenuTest, ScrollBarRowsMoveWithoutWrapping) {
    AddItems(8);
    menu->SetNumberOfVisibleItems(5);
    Open(menu);
    ASSERT_TRUE(menu->IsScrollBarShown());
    EXPECT_EQ(menu->GetTall(), 5 * 22);
    auto* bar = dynamic_cast<vgui2::ScrollBar*>(menu->FindChildByName("MenuScrollBar"));
    ASSERT_NE(bar, nullptr);
    EXPECT_TRUE(bar->IsVisible());

    for (int i = 0; i < 5; ++i) {
        Key(vgui2::KEY_DOWN);
    }
    EXPECT_EQ(HighlightedRow(), 4);
    EXPECT_EQ(menu->GetScrollPosition(), 0);
    Key(vgui2::KEY_DOWN);
    EXPECT_EQ(HighlightedRow(), 5);
    EXPECT_EQ(menu->GetScrollPosition(), 1) << "Down past the last visible row scrolls by one";
    menu->InvalidateLayout(true);
    EXPECT_FALSE(menu->GetMenuItem(0)->IsVisible());
    EXPECT_TRUE(menu->GetMenuItem(5)->IsVisible());

    Key(vgui2::KEY_DOWN);
    Key(vgui2::KEY_DOWN);
    EXPECT_EQ(HighlightedRow(), 7);
    Key(vgui2::KEY_DOWN);
    EXPECT_EQ(HighlightedRow(), 7) << "Down on the last row stays there";

    menu->SetCurrentlyHighlightedItem(menu->GetMenuID(0));
    EXPECT_EQ(menu->GetScrollPosition(), 0);
    menu->InvalidateLayout(true);
    Key(vgui2::KEY_UP);
    EXPECT_EQ(HighlightedRow(), 0) << "Up on the first row goes to the first visible row";
    EXPECT_TRUE(menu->GetMenuItem(0)->IsArmed());
}

TEST_F(MenuTest, WithoutScrollBarMovementWraps) {
    AddItems(3);
    Open(menu);
    Key(vgui2::KEY_UP);
    EXPECT_EQ(HighlightedRow(), 2) << "Up with nothing highlighted wraps to the last row";
    Key(vgui2::KEY_DOWN);
    EXPECT_EQ(HighlightedRow(), 0);
    EXPECT_TRUE(menu->GetMenuItem(0)->IsArmed());
    EXPECT_FALSE(menu->GetMenuItem(2)->IsArmed());
}

TEST_F(MenuTest, MovementSkipsHiddenAndEmptyItems) {
    AddItems(3);
    menu->AddMenuItem("blank", "", "noop", owner);
    menu->SetItemVisible("Bravo", false);
    Open(menu);
    Key(vgui2::KEY_DOWN);
    Key(vgui2::KEY_DOWN);
    EXPECT_EQ(HighlightedRow(), 2) << "the hidden row is skipped";
    Key(vgui2::KEY_DOWN);
    EXPECT_EQ(HighlightedRow(), 0) << "the empty row is skipped and the move wraps";
}

TEST_F(MenuTest, TypedLettersFindTheNextMatchingRow) {
    menu->AddMenuItem("apple", "a1", owner);
    menu->AddMenuItem("Banana", "b", owner);
    menu->AddMenuItem("Avocado", "a2", owner);
    Open(menu);
    Type(u'a');
    EXPECT_EQ(HighlightedRow(), 0);
    Type(u'A');
    EXPECT_EQ(HighlightedRow(), 2) << "letters compare without case and start after the highlight";
    Type(u'a');
    EXPECT_EQ(HighlightedRow(), 0) << "the search wraps";
    Type(u'z');
    EXPECT_EQ(HighlightedRow(), 0) << "no match leaves the highlight alone";
}

TEST_F(MenuTest, ChoosingByPointerSendsCommandAndSelectionThenHides) {
    AddItems(3);
    Open(menu);
    int x = 0, y = 0;
    RowCentre(menu, 1, x, y);
    ClickAt(x, y);
    ASSERT_EQ(owner->commands.size(), 1u);
    EXPECT_EQ(owner->commands[0], "cmdBravo");
    ASSERT_EQ(owner->selected.size(), 1u);
    EXPECT_EQ(owner->selected[0], menu->GetMenuItem(1));
    EXPECT_FALSE(menu->IsVisible());
    EXPECT_EQ(owner->closes, 1);
    EXPECT_EQ(menu->GetActiveItem(), 1);
    EXPECT_EQ(menu->GetCurrentlyHighlightedItem(), -1);
    ASSERT_FALSE(owner->highlights.empty());
    EXPECT_EQ(owner->highlights.back(), -1) << "hiding clears the highlight and says so";
}

TEST_F(MenuTest, PointerHighlightsAndKeyModeIgnoresPointerEntry) {
    AddItems(3);
    Open(menu);
    int x = 0, y = 0;
    RowCentre(menu, 2, x, y);
    TheInput().InternalCursorMoved(x, y);
    Deliver();
    EXPECT_EQ(HighlightedRow(), 2);
    EXPECT_TRUE(menu->GetMenuItem(2)->IsArmed());

    Key(vgui2::KEY_UP);
    EXPECT_TRUE(menu->IsKeyMode());
    EXPECT_EQ(HighlightedRow(), 1);
    EXPECT_FALSE(menu->GetMenuItem(2)->IsArmed());

    // Moving on the same item hands control back to the pointer.
    TheInput().InternalCursorMoved(x, y + 1);
    Deliver();
    EXPECT_FALSE(menu->IsKeyMode());
    EXPECT_EQ(HighlightedRow(), 2);
}

TEST_F(MenuTest, EnterActivatesTheHighlightedItem) {
    AddItems(3);
    Open(menu);
    Key(vgui2::KEY_DOWN);
    Key(vgui2::KEY_DOWN);
    Key(vgui2::KEY_ENTER);
    ASSERT_EQ(owner->commands.size(), 1u);
    EXPECT_EQ(owner->commands[0], "cmdBravo");
    EXPECT_FALSE(menu->IsVisible());
}

TEST_F(MenuTest, EscapeClosesWithoutChoosing) {
    AddItems(3);
    Open(menu);
    Key(vgui2::KEY_DOWN);
    Key(vgui2::KEY_ESCAPE);
    EXPECT_FALSE(menu->IsVisible());
    EXPECT_EQ(owner->closes, 1);
    EXPECT_TRUE(owner->commands.empty());
    EXPECT_TRUE(owner->selected.empty());
}

TEST_F(MenuTest, FocusMovingElsewhereClosesTheMenu) {
    AddItems(2);
    auto* other = new vgui2::Panel(owner, "other");
    Open(menu);
    ASSERT_TRUE(menu->HasFocus());
    other->RequestFocus();
    Deliver();
    EXPECT_FALSE(menu->IsVisible());
    EXPECT_EQ(owner->closes, 1);
}

TEST_F(MenuTest, CheckableItemTogglesAndDrawsItsTick) {
    int id = menu->AddCheckableMenuItem("Wrap", "wrap", owner);
    Open(menu);
    MenuItem* item = menu->GetMenuItem(id);
    EXPECT_GT(menu->GetCheckImageInset(), 0) << "texts move right to leave room for ticks";
    auto tickPixels = [&] {
        surface.filledRects.clear();
        item->PaintTraverse(true);
        int count = 0;
        for (const auto& rect : surface.filledRects) {
            count += rect.x1 - rect.x0 == 1 && rect.y1 - rect.y0 == 2 ? 1 : 0;
        }
        return count;
    };
    EXPECT_EQ(tickPixels(), 0);
    menu->ActivateItem(id);
    Deliver();
    EXPECT_TRUE(item->IsChecked());
    EXPECT_GT(tickPixels(), 0);
    Open(menu);
    menu->ActivateItem(id);
    Deliver();
    EXPECT_FALSE(item->IsChecked());
    EXPECT_EQ(owner->commands.size(), 2u);
}

TEST_F(MenuTest, DisabledItemsCannotBeActivated) {
    AddItems(2);
    menu->SetItemEnabled(1, false);
    Open(menu);
    menu->ActivateItem(1);
    Deliver();
    EXPECT_TRUE(owner->commands.empty());
    EXPECT_EQ(menu->GetActiveItem(), -1);
}

TEST_F(MenuTest, CommandsGivenToTheMenuArePassedOn) {
    menu->OnCommand("fromSubmenu");
    Deliver();
    ASSERT_EQ(owner->commands.size(), 1u);
    EXPECT_EQ(owner->commands[0], "fromSubmenu");
}

class CascadeTest : public MenuTest {
protected:
    void SetUp() override {
        MenuTest::SetUp();
        submenu = new Menu(nullptr, "sub");
        submenu->AddMenuItem("Inner", "inner", owner);
        AddItems(1);
        cascadeId = menu->AddCascadingMenuItem("More", "more", owner, submenu);
    }

    Menu* submenu = nullptr;
    int cascadeId = -1;
};

TEST_F(CascadeTest, PointerOpensTheSubmenuBesideItsItem) {
    Open(menu, 100, 100);
    int x = 0, y = 0;
    RowCentre(menu, 1, x, y);
    TheInput().InternalCursorMoved(x, y);
    Deliver();
    ASSERT_TRUE(submenu->IsVisible());
    MenuItem* item = menu->GetMenuItem(cascadeId);
    int itemX = 0, itemY = 0;
    item->LocalToScreen(itemX, itemY);
    int subX = 0, subY = 0;
    submenu->GetPos(subX, subY);
    EXPECT_EQ(subX, itemX + item->GetWide());
    EXPECT_EQ(subY, itemY - 1);
    EXPECT_TRUE(menu->IsVisible()) << "focus moving into the submenu keeps the parent open";

    // Clicking the cascading item itself chooses nothing.
    TheInput().InternalMousePressed(vgui2::MOUSE_LEFT);
    TheInput().InternalMouseReleased(vgui2::MOUSE_LEFT);
    Deliver();
    EXPECT_TRUE(owner->commands.empty());

    int innerX = 0, innerY = 0;
    RowCentre(submenu, 0, innerX, innerY);
    ClickAt(innerX, innerY);
    ASSERT_EQ(owner->commands.size(), 1u);
    EXPECT_EQ(owner->commands[0], "inner");
    EXPECT_FALSE(submenu->IsVisible());
    EXPECT_FALSE(menu->IsVisible()) << "a choice in a submenu closes the whole chain";
    EXPECT_FALSE(owner->selected.empty());
}

TEST_F(CascadeTest, SubmenuOpensLeftNearTheWorkspaceEdge) {
    Open(menu, 760, 100);
    MenuItem* item = menu->GetMenuItem(cascadeId);
    item->OpenCascadeMenu();
    int itemX = 0, itemY = 0;
    item->LocalToScreen(itemX, itemY);
    int subX = 0, subY = 0;
    submenu->GetPos(subX, subY);
    EXPECT_EQ(subX + submenu->GetWide(), itemX - 2);
}

TEST_F(CascadeTest, RightOpensAndLeftClosesTheSubmenu) {
    Open(menu);
    Key(vgui2::KEY_DOWN);
    Key(vgui2::KEY_DOWN);
    ASSERT_EQ(menu->GetCurrentlyHighlightedItem(), cascadeId);
    Key(vgui2::KEY_RIGHT);
    ASSERT_TRUE(submenu->IsVisible());
    ASSERT_TRUE(submenu->HasFocus());
    Key(vgui2::KEY_LEFT);
    EXPECT_FALSE(submenu->IsVisible());
    EXPECT_TRUE(menu->IsVisible());
}

class MenuButtonTest : public MenuTest {
protected:
    void SetUp() override {
        MenuTest::SetUp();
        button = new vgui2::MenuButton(owner, "drop", "Drop");
        button->SetBounds(50, 40, 80, 24);
        AddItems(3);
        button->SetMenu(menu);
    }

    vgui2::MenuButton* button = nullptr;
};

TEST_F(MenuButtonTest, PressDropsTheMenuBelowAndPressAgainHidesIt) {
    TheInput().InternalCursorMoved(60, 50);
    TheInput().InternalMousePressed(vgui2::MOUSE_LEFT);
    TheInput().InternalMouseReleased(vgui2::MOUSE_LEFT);
    Deliver();
    ASSERT_TRUE(menu->IsVisible());
    EXPECT_TRUE(button->IsDepressed());
    int x = 0, y = 0;
    menu->GetPos(x, y);
    EXPECT_EQ(x, 50);
    EXPECT_EQ(y, 40 + 24 + 1);
    EXPECT_TRUE(menu->HasFocus());

    TheInput().InternalMousePressed(vgui2::MOUSE_LEFT);
    TheInput().InternalMouseReleased(vgui2::MOUSE_LEFT);
    Deliver();
    EXPECT_FALSE(menu->IsVisible());
    EXPECT_FALSE(button->IsDepressed());
}

TEST_F(MenuButtonTest, UpwardMenuEndsAboveAndStaysInsideTheWorkspace) {
    button->SetOpenDirection(vgui2::MenuButton::UP);
    button->SetPos(790, 300);
    button->DoClick();
    Deliver();
    int x = 0, y = 0;
    menu->GetPos(x, y);
    EXPECT_EQ(y + menu->GetTall(), 300 - 1);
    EXPECT_EQ(x + menu->GetWide(), 800) << "held inside the right edge";
}

TEST_F(MenuButtonTest, ChoosingReleasesTheButton) {
    button->DoClick();
    Deliver();
    ASSERT_TRUE(button->IsDepressed());
    menu->ActivateItem(0);
    Deliver();
    EXPECT_FALSE(menu->IsVisible());
    EXPECT_FALSE(button->IsDepressed());
    ASSERT_EQ(owner->commands.size(), 1u);
    EXPECT_EQ(owner->commands[0], "cmdAlpha");
}

}  // namespace
