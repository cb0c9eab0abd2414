// ComboBox: "TextChanged" once per real change, Up and Down without wrap,
// typed letters on a box that is not editable, IDs after removing all
// items, localized item texts, user data, and opening and choosing with
// the pointer as a person would.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "tests/vgui2/ToolkitTestServices.h"
#include "vgui2/ComboBox.h"
#include "vgui2/ControlFactory.h"
#include "vgui2/KeyValues.h"
#include "vgui2/Menu.h"
#include "vgui2/MenuItem.h"
#include "vgui2/WideText.h"

namespace {

using vgui2::ComboBox;

class ComboOwner : public toolkittest::RecordingContainer {
public:
    using RecordingContainer::RecordingContainer;

    bool OnMessage(KeyValues* params, vgui2::VPANEL fromPanel) override {
        if (std::string(params->GetName()) == "TextChanged") {
            texts.push_back(params->GetString("text", "<none>"));
        }
        return RecordingContainer::OnMessage(params, fromPanel);
    }

    std::vector<std::string> texts;
};

class ComboBoxTest : public toolkittest::ToolkitTest {
protected:
    void SetUp() override {
        ToolkitTest::SetUp();
        owner = new ComboOwner(nullptr, "owner");
        owner->SetSize(600, 400);
        combo = MakeCombo(false);
    }

    void TearDown() override {
        delete owner;
        ToolkitTest::TearDown();
    }

    ComboBox* MakeCombo(bool editable) {
        auto* box = new ComboBox(owner, editable ? "editable" : "fixed", 3, editable);
        box->SetBounds(20, 30, 160, 24);
        box->AddActionSignalTarget(owner);
        for (const char* name : {"stable", "beta", "nightly", "snapshot"}) {
            box->AddItem(name, nullptr);
        }
        box->InvalidateLayout(true);
        return box;
    }

    void Key(vgui2::KeyCode code) {
        TypeKey(code);
        Deliver();
    }

    void Click(int x, int y) {
        TheInput().InternalCursorMoved(x, y);
        Deliver();
        TheInput().InternalMousePressed(vgui2::MOUSE_LEFT);
        TheInput().InternalMouseReleased(vgui2::MOUSE_LEFT);
        Deliver();
    }

    std::string Text() { return vgui2::ToNarrow(combo->GetWideText()); }

    ComboOwner* owner = nullptr;
    ComboBox* combo = nullptr;
};

TEST_F(ComboBoxTest, OnlyARealChangeSendsTextChanged) {
    combo->ActivateItem(1);
    Deliver();
    ASSERT_EQ(owner->texts.size(), 1u);
    EXPECT_EQ(owner->texts[0], "beta");
    EXPECT_EQ(Text(), "beta");
    EXPECT_EQ(combo->GetActiveItem(), 1);

    combo->ActivateItem(1);
    Deliver();
    EXPECT_EQ(owner->texts.size(), 1u) << "the text shown already: nothing to report";

    combo->ActivateItemByRow(2);
    Deliver();
    ASSERT_EQ(owner->texts.size(), 2u);
    EXPECT_EQ(owner->texts[1], "nightly");
}

TEST_F(ComboBoxTest, LongTextsAreComparedWhole) {
    std::string shared(260, 'x');
    int first = combo->AddItem((shared + "1").c_str(), nullptr);
    int second = combo->AddItem((shared + "2").c_str(), nullptr);
    combo->ActivateItem(first);
    Deliver();
    combo->ActivateItem(second);
    Deliver();
    ASSERT_EQ(owner->texts.size(), 2u) << "texts that differ after their first 254 characters still differ";
    EXPECT_EQ(owner->texts[1], shared + "2");
}

TEST_F(ComboBoxTest, UpAndDownStopAtTheEnds) {
    combo->RequestFocus();
    combo->ActivateItem(3);
    Deliver();
    owner->texts.clear();
    Key(vgui2::KEY_DOWN);
    EXPECT_EQ(Text(), "snapshot");
    EXPECT_TRUE(owner->texts.empty()) << "Down on the last row sends nothing";

    Key(vgui2::KEY_UP);
    EXPECT_EQ(Text(), "nightly");
    ASSERT_EQ(owner->texts.size(), 1u);
    EXPECT_EQ(combo->GetActiveItem(), 2);
    int start = 0, end = 0;
    ASSERT_TRUE(combo->GetSelectedRange(start, end));
    EXPECT_EQ(end - start, 7) << "the new text is selected whole";

    Key(vgui2::KEY_UP);
    Key(vgui2::KEY_UP);
    Key(vgui2::KEY_UP);
    EXPECT_EQ(Text(), "stable");
    EXPECT_EQ(owner->texts.size(), 3u) << "Up on the first row sends nothing";
}

TEST_F(ComboBoxTest, UpAndDownDoNothingForATextNotInTheList) {
    combo->SetText("custom");
    combo->RequestFocus();
    Key(vgui2::KEY_DOWN);
    EXPECT_EQ(Text(), "custom");
    EXPECT_TRUE(owner->texts.empty());
}

TEST_F(ComboBoxTest, TypedLettersPickTheNextMatchWrappingToTheTop) {
    combo->RequestFocus();
    TheInput().InternalKeyTyped(u's');
    Deliver();
    EXPECT_EQ(Text(), "snapshot") << "the search starts after the first item until another is active";
    TheInput().InternalKeyTyped(u'S');
    Deliver();
    EXPECT_EQ(Text(), "stable") << "letters compare without case and wrap";
    TheInput().InternalKeyTyped(u'q');
    Deliver();
    EXPECT_EQ(Text(), "stable") << "no match keeps the row";
    EXPECT_EQ(owner->texts.size(), 2u);
}

TEST_F(ComboBoxTest, EditableBoxTakesTypedText) {
    ComboBox* editable = MakeCombo(true);
    editable->RequestFocus();
    TheInput().InternalKeyTyped(u's');
    Deliver();
    EXPECT_EQ(vgui2::ToNarrow(editable->GetWideText()), "s");
    EXPECT_EQ(editable->GetCursor(), static_cast<vgui2::HCursor>(vgui2::dc_ibeam));
    EXPECT_EQ(combo->GetCursor(), static_cast<vgui2::HCursor>(vgui2::dc_arrow));
}

TEST_F(ComboBoxTest, RemovingAllRestartsIdsAndUpdatesCheckTheirId) {
    combo->RemoveAll();
    EXPECT_EQ(combo->GetItemCount(), 0);
    EXPECT_EQ(combo->AddItem("a", nullptr), 0);
    EXPECT_EQ(combo->AddItem("b", nullptr), 1);
    EXPECT_EQ(combo->AddItem("c", nullptr), 2);
    TheVGui().RunFrame();

    EXPECT_FALSE(combo->UpdateItem(5, "nope", nullptr));
    EXPECT_TRUE(combo->UpdateItem(1, "bee", nullptr));
    combo->ActivateItem(1);
    Deliver();
    EXPECT_EQ(Text(), "bee") << "the updated command carries the new text";
}

TEST_F(ComboBoxTest, UserDataIsCopiedAndHiddenForDisabledItems) {
    KeyValues* data = new KeyValues("data");
    data->SetString("url", "http://example.invalid/x.zip");
    int id = combo->AddItem("with data", data);
    data->deleteThis();
    ASSERT_NE(combo->GetItemUserData(id), nullptr);
    EXPECT_STREQ(combo->GetItemUserData(id)->GetString("url"), "http://example.invalid/x.zip");
    EXPECT_EQ(combo->GetItemUserData(99), nullptr);
    combo->ActivateItem(id);
    Deliver();
    EXPECT_EQ(combo->GetActiveItemUserData(), combo->GetItemUserData(id));
    combo->SetItemEnabled(id, false);
    EXPECT_EQ(combo->GetItemUserData(id), nullptr);
}

TEST_F(ComboBoxTest, TokenTextsAreShownLocalized) {
    TheLocalize().AddString("Branch_Stable", u"Stable release", "test");
    int id = combo->AddItem("#Branch_Stable", nullptr);
    combo->ActivateItem(id);
    Deliver();
    EXPECT_EQ(Text(), "Stable release");
    ASSERT_FALSE(owner->texts.empty());
    EXPECT_EQ(owner->texts.back(), "Stable release");
}

TEST_F(ComboBoxTest, ClickOpensBelowAndChoosingAnItemClosesAndReports) {
    Click(60, 40);
    vgui2::Menu* menu = combo->GetMenu();
    ASSERT_TRUE(combo->IsDropdownVisible());
    int x = 0, y = 0;
    menu->GetPos(x, y);
    EXPECT_EQ(x, 20);
    EXPECT_EQ(y, 30 + 24 + 1);
    EXPECT_EQ(menu->GetWide(), 160) << "the list is as wide as the box";
    EXPECT_TRUE(menu->IsScrollBarShown()) << "three lines shown for four items";
    EXPECT_EQ(menu->GetBgColor().a, 255);

    vgui2::MenuItem* item = menu->GetMenuItem(1);
    int itemX = item->GetWide() / 3, itemY = item->GetTall() / 2;
    item->LocalToScreen(itemX, itemY);
    Click(itemX, itemY);
    EXPECT_FALSE(combo->IsDropdownVisible());
    ASSERT_EQ(owner->texts.size(), 1u);
    EXPECT_EQ(owner->texts[0], "beta");
    EXPECT_TRUE(combo->HasFocus()) << "the keyboard comes back to the box";

    // Opening again highlights the current text's row.
    Click(60, 40);
    ASSERT_TRUE(combo->IsDropdownVisible());
    EXPECT_EQ(menu->GetCurrentlyHighlightedItem(), 1);
    Click(60, 40);
    EXPECT_FALSE(combo->IsDropdownVisible()) << "a second click on the box closes the list";
    EXPECT_EQ(owner->texts.size(), 1u);
}

TEST_F(ComboBoxTest, ArrowButtonTogglesTheListOfAnEditableBox) {
    ComboBox* editable = MakeCombo(true);
    vgui2::Button* arrow = editable->GetDropdownButton();
    int x = arrow->GetWide() / 2, y = arrow->GetTall() / 2;
    arrow->LocalToScreen(x, y);
    EXPECT_EQ(x, 20 + 160 - 20 + 8);
    Click(x, y);
    EXPECT_TRUE(editable->IsDropdownVisible());
    EXPECT_TRUE(arrow->IsArmed());
    Key(vgui2::KEY_ESCAPE);
    EXPECT_FALSE(editable->IsDropdownVisible());
    EXPECT_TRUE(owner->texts.empty());

    editable->SetEnabled(false);
    editable->InvalidateLayout(true);
    EXPECT_FALSE(arrow->IsEnabled());
    editable->DoClick();
    EXPECT_FALSE(editable->IsDropdownVisible()) << "a disabled box does not open";
}

TEST_F(ComboBoxTest, KeysInTheOpenListChooseWithEnter) {
    combo->ActivateItem(0);
    Deliver();
    combo->ShowMenu();
    Deliver();
    ASSERT_TRUE(combo->GetMenu()->HasFocus());
    Key(vgui2::KEY_DOWN);
    Key(vgui2::KEY_ENTER);
    EXPECT_EQ(Text(), "beta");
    EXPECT_FALSE(combo->IsDropdownVisible());
    EXPECT_EQ(owner->texts.size(), 2u);
}

TEST_F(ComboBoxTest, FactoryMakesAnEditableFiveLineBox) {
    vgui2::Panel* made = vgui2::CreateControlByName("ComboBox");
    auto* box = dynamic_cast<ComboBox*>(made);
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(box->IsEditable());
    EXPECT_EQ(box->GetMenu()->GetNumberOfVisibleItems(), 5);
    delete made;
}

TEST_F(ComboBoxTest, VeryLongItemTextArrivesWholeAndShowsItsStart) {
    std::string name;
    for (int i = 0; i < 1000; ++i) {
        name += "branch-" + std::to_string(i % 10) + "xy";
    }
    combo->ActivateItem(combo->AddItem(name.c_str(), nullptr));
    Deliver();
    EXPECT_EQ(Text(), name);
    combo->InvalidateLayout(true);
    surface.drawnChars.clear();
    combo->PaintTraverse(true);
    std::string shown = vgui2::ToNarrow(surface.DrawnText());
    const std::string ellipsis = "\u2026";
    ASSERT_GT(shown.size(), ellipsis.size());
    EXPECT_EQ(shown.substr(shown.size() - ellipsis.size()), ellipsis) << "the cut shows: " << shown;
    EXPECT_EQ(name.rfind(shown.substr(0, shown.size() - ellipsis.size()), 0), 0u) << shown;
}

// Filling, choosing and opening must not grow faster than the item count:
// a manifest may list a hundred thousand branches.
TEST_F(ComboBoxTest, HundredThousandItemsFillChooseAndOpenWithinASecond) {
    auto* big = new ComboBox(owner, "big", 5, false);
    big->SetBounds(20, 30, 160, 24);
    auto start = std::chrono::steady_clock::now();
    constexpr int kItems = 100000;
    for (int i = 0; i < kItems; ++i) {
        big->AddItem(("branch-" + std::to_string(i)).c_str(), nullptr);
    }
    big->ActivateItem(big->GetItemIDFromRow(kItems - 1));
    Deliver();
    big->ShowMenu();
    Deliver();
    auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(vgui2::ToNarrow(big->GetWideText()), "branch-99999");
    EXPECT_TRUE(big->IsDropdownVisible());
    EXPECT_EQ(big->GetMenu()->GetCurrentlyHighlightedItem(), kItems - 1);
    // About a second here; a fill that grows with the square of the count
    // took a minute, and the bound leaves room for sanitizer builds.
    EXPECT_LT(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count(), 20000);
}

}  // namespace
