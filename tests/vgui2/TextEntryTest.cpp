// TextEntry: typing, deleting and moving the cursor, selection by keys and
// by the pointer, the clipboard and the edit menu, the filters (maximum
// length, digits only, read-only), wrapping of several lines, sideways
// scrolling of one line, and its settings keys.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/vgui2/ClipboardSystem.h"
#include "tests/vgui2/ToolkitTestServices.h"
#include "vgui2/KeyValues.h"
#include "vgui2/Menu.h"
#include "vgui2/MenuItem.h"
#include "vgui2/TextEntry.h"

namespace {

using vgui2::KeyCode;
using vgui2::TextEntry;

class EntryOwner : public toolkittest::RecordingContainer {
public:
    using RecordingContainer::RecordingContainer;

    bool OnMessage(KeyValues* params, vgui2::VPANEL fromPanel) override {
        if (std::string(params->GetName()) == "TextChanged") {
            ++changes;
            changeHadText = changeHadText || params->FindKey("text") != nullptr;
        }
        return RecordingContainer::OnMessage(params, fromPanel);
    }

    int changes = 0;
    bool changeHadText = false;
};

class TextEntryTest : public toolkittest::ToolkitTest {
protected:
    void SetUp() override {
        ToolkitTest::SetUp();
        vgui2::g_services.system = &clipboard;
        owner = new EntryOwner(nullptr, "owner");
        owner->SetSize(400, 300);
        entry = new TextEntry(owner, "entry");
        entry->SetBounds(10, 10, 200, 24);
        entry->AddActionSignalTarget(owner);
        entry->RequestFocus();
    }

    void TearDown() override {
        delete owner;
        ToolkitTest::TearDown();
    }

    void Type(const std::u16string& text) {
        for (vgui2::wchar ch : text) {
            TheInput().InternalKeyTyped(ch);
        }
        Deliver();
    }

    void Key(KeyCode code, KeyCode modifier = vgui2::KEY_NONE) {
        TypeKey(code, modifier);
        Deliver();
    }

    // The screen point just right of the middle of character `index`.
    void PointAtChar(int index, int& x, int& y) {
        x = 10 + 3 + index * kCharWidth + 1;
        y = 10 + 12;
    }

    std::u16string Text() { return entry->GetWideText(); }

    std::u16string Selected() {
        int start = 0, end = 0;
        if (!entry->GetSelectedRange(start, end)) {
            return u"";
        }
        return Text().substr(static_cast<std::size_t>(start), static_cast<std::size_t>(end - start));
    }

    toolkittest::ClipboardSystem clipboard{system};
    EntryOwner* owner = nullptr;
    TextEntry* entry = nullptr;
};

TEST_F(TextEntryTest, TypingEditsAtTheCursorAndReportsEachChange) {
    Type(u"helo");
    Key(vgui2::KEY_LEFT);
    Type(u"l");
    EXPECT_EQ(Text(), u"hello");
    EXPECT_EQ(owner->changes, 5);
    EXPECT_FALSE(owner->changeHadText) << "a typed edit does not carry the text";

    Key(vgui2::KEY_HOME);
    Key(vgui2::KEY_DELETE);
    EXPECT_EQ(Text(), u"ello");
    Key(vgui2::KEY_END);
    Key(vgui2::KEY_BACKSPACE);
    EXPECT_EQ(Text(), u"ell");
    EXPECT_EQ(owner->changes, 7);

    // Keys that change nothing report nothing.
    Key(vgui2::KEY_DELETE);
    Key(vgui2::KEY_HOME);
    Key(vgui2::KEY_BACKSPACE);
    EXPECT_EQ(owner->changes, 7);
}

TEST_F(TextEntryTest, CursorSelectionAndDeletionTreatASurrogatePairAsOneCharacter) {
    const std::u16string pair = u"\U0001F600";
    const std::u16string text = u"a" + pair + u"b";
    struct Case {
        const char* what;
        std::vector<KeyCode> keys;
        std::u16string text;
        int cursor;
    };
    const Case cases[] = {
        {"right steps over", {vgui2::KEY_HOME, vgui2::KEY_RIGHT, vgui2::KEY_RIGHT}, text, 3},
        {"left steps back over", {vgui2::KEY_END, vgui2::KEY_LEFT, vgui2::KEY_LEFT}, text, 1},
        {"backspace removes both", {vgui2::KEY_END, vgui2::KEY_LEFT, vgui2::KEY_BACKSPACE}, u"ab", 1},
        {"delete removes both", {vgui2::KEY_HOME, vgui2::KEY_RIGHT, vgui2::KEY_DELETE}, u"ab", 1},
    };
    for (const Case& c : cases) {
        entry->SetText(text.c_str());
        for (KeyCode key : c.keys) {
            Key(key);
        }
        EXPECT_EQ(Text(), c.text) << c.what;
        EXPECT_EQ(entry->GetCursorPos(), c.cursor) << c.what;
    }

    entry->SetText(text.c_str());
    entry->SetCursorPos(1);
    Key(vgui2::KEY_RIGHT, vgui2::KEY_LSHIFT);
    EXPECT_EQ(Selected(), pair);
    entry->SetCursorPos(2);
    EXPECT_EQ(entry->GetCursorPos(), 1) << "a position inside the pair moves to its start";

    entry->SetMaximumCharCount(2);
    entry->SetText(text.c_str());
    EXPECT_EQ(Text(), u"a") << "a cut keeps no half pair";
}

TEST_F(TextEntryTest, ShiftSelectsAndTypingReplacesTheSelection) {
    Type(u"one two three");
    Key(vgui2::KEY_HOME);
    Key(vgui2::KEY_RIGHT, vgui2::KEY_LSHIFT);
    Key(vgui2::KEY_RIGHT, vgui2::KEY_LSHIFT);
    EXPECT_EQ(Selected(), u"on");
    Type(u"X");
    EXPECT_EQ(Text(), u"Xe two three");

    Key(vgui2::KEY_END);
    Key(vgui2::KEY_BACKSPACE, vgui2::KEY_LCONTROL);
    EXPECT_EQ(Text(), u"Xe two ") << "Ctrl+Backspace removes the word before the cursor";
    Key(vgui2::KEY_LEFT, vgui2::KEY_LCONTROL);
    EXPECT_EQ(entry->GetCursorPos(), 3);

    Key(vgui2::KEY_A, vgui2::KEY_LCONTROL);
    EXPECT_EQ(Selected(), u"Xe two ");
    Key(vgui2::KEY_DELETE);
    EXPECT_EQ(Text(), u"");
}

TEST_F(TextEntryTest, ClipboardCopiesCutsAndPastes) {
    Type(u"copy me");
    Key(vgui2::KEY_HOME);
    for (int i = 0; i < 4; ++i) {
        Key(vgui2::KEY_RIGHT, vgui2::KEY_LSHIFT);
    }
    Key(vgui2::KEY_C, vgui2::KEY_LCONTROL);
    EXPECT_EQ(clipboard.clipboard, u"copy");
    EXPECT_EQ(Text(), u"copy me");
    Key(vgui2::KEY_X, vgui2::KEY_LCONTROL);
    EXPECT_EQ(Text(), u" me");
    Key(vgui2::KEY_END);
    Key(vgui2::KEY_V, vgui2::KEY_LCONTROL);
    EXPECT_EQ(Text(), u" mecopy");

    // One line cannot hold a line break: it is dropped, the rest kept.
    clipboard.clipboard = u"a\r\nb";
    Key(vgui2::KEY_V, vgui2::KEY_LCONTROL);
    EXPECT_EQ(Text(), u" mecopyab");
}

TEST_F(TextEntryTest, HiddenTextNeverReachesTheClipboard) {
    entry->SetTextHidden(true);
    Type(u"secret");
    Key(vgui2::KEY_A, vgui2::KEY_LCONTROL);
    Key(vgui2::KEY_C, vgui2::KEY_LCONTROL);
    Key(vgui2::KEY_X, vgui2::KEY_LCONTROL);
    EXPECT_TRUE(clipboard.clipboard.empty());
    EXPECT_EQ(Text(), u"secret");
    surface.drawnChars.clear();
    entry->PaintTraverse(true);
    EXPECT_EQ(surface.DrawnText(), u"******");
}

TEST_F(TextEntryTest, FiltersLimitWhatMayBeTyped) {
    entry->SetMaximumCharCount(4);
    entry->SetAllowNumericInputOnly(true);
    Type(u"1a2b3c4d5");
    EXPECT_EQ(Text(), u"1234");
    Key(vgui2::KEY_A, vgui2::KEY_LCONTROL);
    Type(u"x");
    EXPECT_EQ(Text(), u"1234") << "a refused character keeps the selection's text";

    entry->SetAllowNumericInputOnly(false);
    entry->SetMaximumCharCount(-1);
    entry->SetAllowNonAsciiCharacters(false);
    entry->SetText("");
    Type(u"a\u00e9b");
    EXPECT_EQ(Text(), u"ab");
}

TEST_F(TextEntryTest, ReadOnlyEntrySelectsButDoesNotChange) {
    entry->SetText("fixed");
    entry->SetEditable(false);
    Type(u"x");
    Key(vgui2::KEY_BACKSPACE);
    Key(vgui2::KEY_A, vgui2::KEY_LCONTROL);
    Key(vgui2::KEY_X, vgui2::KEY_LCONTROL);
    EXPECT_EQ(Text(), u"fixed");
    EXPECT_EQ(owner->changes, 0);
    Key(vgui2::KEY_C, vgui2::KEY_LCONTROL);
    EXPECT_EQ(clipboard.clipboard, u"fixed");
}

TEST_F(TextEntryTest, SetTextMessageReplacesWithoutReporting) {
    KeyValues* message = new KeyValues("SetText");
    message->SetWString("text", u"from a message");
    entry->PostMessage(entry, message);
    Deliver();
    EXPECT_EQ(Text(), u"from a message");
    EXPECT_EQ(owner->changes, 0);

    KeyValues* request = new KeyValues("GetText");
    ASSERT_TRUE(entry->RequestInfo(request));
    EXPECT_STREQ(request->GetString("text"), "from a message");
    request->deleteThis();
}

TEST_F(TextEntryTest, PointerPlacesCursorDragsAndDoubleClickSelectsAWord) {
    entry->SetText("alpha beta");
    int x = 0, y = 0;
    PointAtChar(2, x, y);
    TheInput().InternalCursorMoved(x, y);
    TheInput().InternalMousePressed(vgui2::MOUSE_LEFT);
    EXPECT_EQ(entry->GetCursorPos(), 2);
    EXPECT_TRUE(entry->HasFocus());
    PointAtChar(7, x, y);
    TheInput().InternalCursorMoved(x, y);
    TheInput().InternalMouseReleased(vgui2::MOUSE_LEFT);
    EXPECT_EQ(Selected(), u"pha b");

    PointAtChar(8, x, y);
    TheInput().InternalCursorMoved(x, y);
    TheInput().InternalMouseDoublePressed(vgui2::MOUSE_LEFT);
    TheInput().InternalMouseReleased(vgui2::MOUSE_LEFT);
    EXPECT_EQ(Selected(), u"beta");
}

TEST_F(TextEntryTest, EditMenuOffersWhatIsPossibleAndPastes) {
    entry->SetText("abc");
    clipboard.clipboard = u"XY";
    int x = 0, y = 0;
    PointAtChar(3, x, y);
    TheInput().InternalCursorMoved(x, y);
    TheInput().InternalMousePressed(vgui2::MOUSE_RIGHT);
    TheInput().InternalMouseReleased(vgui2::MOUSE_RIGHT);
    Deliver();
    vgui2::Menu* menu = entry->GetEditMenu();
    ASSERT_NE(menu, nullptr);
    ASSERT_TRUE(menu->IsVisible());
    ASSERT_EQ(menu->GetItemCount(), 3);
    EXPECT_FALSE(menu->GetMenuItem(0)->IsEnabled()) << "nothing selected: no Cut";
    EXPECT_FALSE(menu->GetMenuItem(1)->IsEnabled()) << "nothing selected: no Copy";
    EXPECT_TRUE(menu->GetMenuItem(2)->IsEnabled());
    int menuX = 0, menuY = 0;
    menu->GetPos(menuX, menuY);
    EXPECT_EQ(menuX, x + 1) << "the edit menu opens at the pointer";

    entry->SetCursorPos(3);
    menu->ActivateItem(menu->GetMenuID(2));
    Deliver();
    EXPECT_EQ(Text(), u"abcXY");
    EXPECT_FALSE(menu->IsVisible());
    EXPECT_TRUE(entry->HasFocus()) << "the keyboard comes back to the entry";
}

TEST_F(TextEntryTest, SeveralLinesWrapAndMoveBetweenLines) {
    entry->SetMultiline(true);
    // 200 pixels less the margins hold 32 characters of 6 pixels.
    entry->SetText("the quick brown fox jumps over the lazy dog again");
    int wide = 0, tall = 0;
    entry->GetTextSize(wide, tall);
    EXPECT_EQ(tall, 2 * kFontTall);
    EXPECT_LE(wide, 194);
    surface.drawnChars.clear();
    entry->PaintTraverse(true);
    ASSERT_FALSE(surface.drawnChars.empty());
    int secondLineY = surface.drawnChars.back().y;
    EXPECT_GT(secondLineY, surface.drawnChars.front().y);
    for (const auto& drawn : surface.drawnChars) {
        if (drawn.y == secondLineY) {
            EXPECT_EQ(drawn.ch, u't') << "\"the\" does not fit and moves whole to the second line";
            break;
        }
    }

    entry->SetCursorPos(2);
    Key(vgui2::KEY_DOWN);
    EXPECT_EQ(entry->GetCursorPos(), 31 + 2) << "same column on the next line";
    Key(vgui2::KEY_UP);
    EXPECT_EQ(entry->GetCursorPos(), 2);
    Key(vgui2::KEY_END);
    Key(vgui2::KEY_ENTER);
    EXPECT_NE(Text().find(u'\n'), std::u16string::npos);
}

TEST_F(TextEntryTest, OneLineScrollsToKeepTheCursorInView) {
    std::u16string longText(60, u'w');
    longText.back() = u'E';
    entry->SetText(vgui2::ToNarrow(longText).c_str());
    Key(vgui2::KEY_END);
    surface.drawnChars.clear();
    entry->PaintTraverse(true);
    ASSERT_FALSE(surface.drawnChars.empty());
    EXPECT_EQ(surface.drawnChars.back().ch, u'E') << "the end is drawn when the cursor is there";
    EXPECT_LT(surface.drawnChars.size(), longText.size());
    Key(vgui2::KEY_HOME);
    surface.drawnChars.clear();
    entry->PaintTraverse(true);
    EXPECT_EQ(surface.drawnChars.front().x, 3);
}

TEST_F(TextEntryTest, SettingsKeysRoundTrip) {
    KeyValues* settings = new KeyValues("entry");
    settings->SetInt("textHidden", 1);
    settings->SetInt("editable", 0);
    settings->SetInt("NumericInputOnly", 1);
    settings->SetInt("maxchars", 12);
    settings->SetInt("unicode", 0);
    entry->ApplySettings(settings);
    EXPECT_FALSE(entry->IsEditable());
    KeyValues* out = new KeyValues("out");
    entry->GetSettings(out);
    EXPECT_EQ(out->GetInt("textHidden"), 1);
    EXPECT_EQ(out->GetInt("editable"), 0);
    EXPECT_EQ(out->GetInt("NumericInputOnly"), 1);
    EXPECT_EQ(out->GetInt("maxchars"), 12);
    EXPECT_EQ(out->GetInt("unicode"), 0);
    EXPECT_STREQ(out->GetString("ControlName"), "TextEntry");
    settings->deleteThis();
    out->deleteThis();
    EXPECT_EQ(entry->GetCursor(), static_cast<vgui2::HCursor>(vgui2::dc_ibeam));
}

TEST_F(TextEntryTest, SelectAllOnFirstFocusOnlyOnce) {
    auto* other = new TextEntry(owner, "other");
    other->SetText("preset");
    other->SetSelectAllOnFirstFocus(true);
    other->RequestFocus();
    int start = 0, end = 0;
    ASSERT_TRUE(other->GetSelectedRange(start, end));
    EXPECT_EQ(end - start, 6);
    other->SelectNone();
    entry->RequestFocus();
    other->RequestFocus();
    EXPECT_FALSE(other->GetSelectedRange(start, end)) << "only the first focus selects";
}

}  // namespace
