// RichText: word wrap (word starts, cut words, spaces and line ends at
// breaks, glyphs wider than the view), the scroll bar that follows the end,
// colours of runs, mouse selection and copying, keys and wheel, the
// information request and narrow-text limits, settings, clickable runs and
// the right-click edit menu.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/vgui2/ToolkitTestServices.h"
#include "vgui2/ControlFactory.h"
#include "vgui2/KeyValues.h"
#include "vgui2/Menu.h"
#include "vgui2/MenuItem.h"
#include "vgui2/RichText.h"
#include "vgui2/ScrollBar.h"

namespace {

using vgui2::Color;
using vgui2::RichText;
using vgui2::ScrollBar;

constexpr int kSentinel = RichText::kLineBreakSentinel;
constexpr Color kGreen{0, 255, 0, 0};
constexpr Color kBlue{0, 0, 255, 255};
constexpr Color kSchemeFg{200, 200, 200, 255};

// Every character is 6 wide and every line 11 high (font 10, spacing 1);
// texts start 3 pixels in. The view is 84 wide, 18 of them scroll bar, so
// ten characters fit on a line; 100 high, so nine lines show.
class RichTextTest : public toolkittest::ToolkitTest {
protected:
    static constexpr int kViewX = 10;
    static constexpr int kViewY = 10;

    void SetUp() override {
        ToolkitTest::SetUp();
        schemes.colors["WindowFgColor"] = kSchemeFg;
        schemes.colors["WindowBgColor"] = Color(20, 20, 20, 255);
        schemes.colors["SelectionBgColor"] = Color(0, 0, 128, 255);
        schemes.colors["SelectionFgColor"] = Color(255, 255, 0, 255);
        root = new toolkittest::RecordingContainer(nullptr, "root");
        root->SetSize(400, 300);
        text = new RichText(root, "Text");
        text->SetBounds(kViewX, kViewY, 84, 100);
    }

    void TearDown() override {
        delete root;
        ToolkitTest::TearDown();
    }

    // One frame applies the scheme, wraps and updates the scroll bar.
    void Frame() { TheVGui().RunFrame(); }

    std::vector<int> Breaks() {
        Frame();
        return text->GetLineBreaks();
    }

    std::u16string Drawn() {
        surface.drawnChars.clear();
        text->PaintTraverse(true);
        return surface.DrawnText();
    }

    // Moves the pointer over character column of a visible line.
    void PointAt(int column, int visibleLine) {
        TheInput().InternalCursorMoved(kViewX + 3 + 6 * column + 1, kViewY + 1 + 11 * visibleLine + 5);
    }

    void Drag(int fromColumn, int fromLine, int toColumn, int toLine) {
        PointAt(fromColumn, fromLine);
        TheInput().InternalMousePressed(vgui2::MOUSE_LEFT);
        PointAt(toColumn, toLine);
        TheInput().InternalMouseReleased(vgui2::MOUSE_LEFT);
    }

    void Key(vgui2::KeyCode code, vgui2::KeyCode modifier = vgui2::KEY_NONE) {
        TheInput().SetKeyFocus(text->GetVPanel());
        TypeKey(code, modifier);
    }

    std::u16string Lines(int count) {
        std::u16string lines;
        for (int line = 0; line < count; ++line) {
            lines += u"line" + std::u16string(1, static_cast<char16_t>(u'A' + line)) + u"\n";
        }
        return lines;
    }

    ScrollBar* Bar() { return text->GetScrollBar(); }

    toolkittest::RecordingContainer* root = nullptr;
    RichText* text = nullptr;
};

TEST_F(RichTextTest, WrapsAtWordStartsAndCutsWordsLongerThanALine) {
    text->SetText(u"hello world again");
    EXPECT_EQ(Breaks(), (std::vector<int>{6, 12, kSentinel}));

    text->SetText(u"abcdefghijklmnop");
    EXPECT_EQ(Breaks(), (std::vector<int>{10, kSentinel})) << "a word wider than the view is cut";

    text->SetText(u"abcdefghij klm");
    EXPECT_EQ(Breaks(), (std::vector<int>{10, kSentinel})) << "the space at the break starts the next line";

    text->SetWide(400);
    EXPECT_EQ(Breaks(), (std::vector<int>{kSentinel})) << "a wider view wraps again";
}

TEST_F(RichTextTest, ASurrogatePairIsOneCharacterThatNoBreakSplits) {
    // Ten characters fit; pairs start at the odd indices.
    text->SetText(u"a\U0001F600\U0001F600\U0001F600\U0001F600\U0001F600\U0001F600\U0001F600\U0001F600"
                  u"\U0001F600\U0001F600\U0001F600");
    EXPECT_EQ(Breaks(), (std::vector<int>{19, kSentinel}));
}

TEST_F(RichTextTest, LineEndsBreakLinesAndBlankLinesSurvive) {
    text->SetText(u"ab\r\n\r\ncd\nef");
    EXPECT_EQ(Breaks(), (std::vector<int>{2, 4, 8, kSentinel}));
    Drawn();
    ASSERT_EQ(surface.drawnChars.size(), 6u) << "line ends are not drawn";
    EXPECT_EQ(surface.drawnChars[2].ch, u'c');
    EXPECT_EQ(surface.drawnChars[2].x, 3) << "a line starts at the left offset, not after its line end";
    EXPECT_EQ(surface.drawnChars[2].y, 1 + 2 * 11) << "the blank line keeps its place";
    EXPECT_EQ(surface.drawnChars[5].y, 1 + 3 * 11);
}

TEST_F(RichTextTest, GlyphWiderThanTheViewTakesALineOfItsOwnWithoutHanging) {
    surface.charWidth = 100;
    text->SetText(u"abc");
    EXPECT_EQ(Breaks(), (std::vector<int>{1, 2, kSentinel}));
}

TEST_F(RichTextTest, EmptyTextShowsNothingAndADisabledScrollBar) {
    text->SetText(static_cast<const vgui2::wchar*>(nullptr));
    EXPECT_EQ(Breaks(), (std::vector<int>{kSentinel}));
    EXPECT_TRUE(Drawn().empty());
    EXPECT_FALSE(Bar()->IsEnabled());
    EXPECT_EQ(Bar()->GetValue(), 0);
}

TEST_F(RichTextTest, ScrollBarSitsAtTheRightEdgeAndIsUnusableWhileTheTextFits) {
    text->SetText(Lines(5).c_str());
    Frame();
    int x = 0, y = 0, wide = 0, tall = 0;
    Bar()->GetBounds(x, y, wide, tall);
    EXPECT_EQ(x, 84 - 18 - 1);
    EXPECT_EQ(wide, 18);
    EXPECT_EQ(tall, 100);
    EXPECT_FALSE(Bar()->IsEnabled());
    int min = 0, max = 0;
    Bar()->GetRange(min, max);
    EXPECT_EQ(max, 6) << "five lines and the empty one after the last line feed";
    EXPECT_EQ(Bar()->GetRangeWindow(), 6);
}

TEST_F(RichTextTest, ProportionalViewScalesItsMetricsWithTheScreenWidth) {
    root->SetProportional(true);
    auto* scaled = new RichText(root, "Scaled");
    scaled->SetBounds(0, 150, 200, 100);
    scaled->SetText(u"x");
    Frame();
    int x = 0, y = 0, wide = 0, tall = 0;
    scaled->GetScrollBar()->GetBounds(x, y, wide, tall);
    EXPECT_EQ(wide, 18 * 800 / 640) << "the scroll bar width grows with an 800-wide screen";
    surface.drawnChars.clear();
    scaled->PaintTraverse(true);
    ASSERT_EQ(surface.DrawnText(), u"x");
    EXPECT_EQ(surface.drawnChars[0].x, 3) << "3 * 800 / 640 truncates to 3";
}

TEST_F(RichTextTest, NewTextOpensAtItsTopAndOnlyAnAppendAtTheEndFollowsIt) {
    text->SetText(Lines(40).c_str());
    Frame();
    EXPECT_TRUE(Bar()->IsEnabled());
    EXPECT_EQ(Bar()->GetRangeWindow(), 9);
    EXPECT_EQ(Bar()->GetValue(), 0) << "a fresh view opens a long text at its headline";
    EXPECT_EQ(Drawn().substr(0, 5), u"lineA");

    Bar()->SetValue(41 - 9);
    text->AppendText(u"more\nand more", kBlue);
    Frame();
    EXPECT_EQ(Bar()->GetValue(), 42 - 9) << "appended lines keep a view that showed its end at the end";
    std::u16string drawn = Drawn();
    EXPECT_NE(drawn.find(u"and more"), std::u16string::npos);
    EXPECT_EQ(drawn.find(u"lineA"), std::u16string::npos);

    text->SetText(Lines(30).c_str());
    Frame();
    EXPECT_EQ(Bar()->GetValue(), 0) << "replacing the text of a view at its end starts at the top";

    text->SetText(Lines(3).c_str());
    Frame();
    text->AppendText(Lines(20).c_str(), kBlue);
    Frame();
    EXPECT_EQ(Bar()->GetValue(), 24 - 9) << "a short text shows its end, so what is appended is followed";
}

TEST_F(RichTextTest, ViewScrolledAwayFromTheEndStaysWhereTheUserPutIt) {
    text->SetText(Lines(40).c_str());
    Frame();
    Bar()->SetValue(5);
    text->AppendText(u"tail\n", kBlue);
    Frame();
    EXPECT_EQ(Bar()->GetValue(), 5);
    EXPECT_EQ(Drawn().substr(0, 5), u"lineF") << "painting starts at the line of the scroll value";

}

TEST_F(RichTextTest, WheelAndKeysMoveTheScrollValue) {
    text->SetText(Lines(40).c_str());
    Frame();
    Key(vgui2::KEY_HOME);
    EXPECT_EQ(Bar()->GetValue(), 0);
    TheInput().InternalCursorMoved(kViewX + 20, kViewY + 20);
    TheInput().InternalMouseWheeled(-2);
    EXPECT_EQ(Bar()->GetValue(), 6) << "three lines per notch";
    TheInput().InternalMouseWheeled(5);
    EXPECT_EQ(Bar()->GetValue(), 0);
    Key(vgui2::KEY_PAGEDOWN);
    EXPECT_EQ(Bar()->GetValue(), 10) << "a page is the window plus one";
    Key(vgui2::KEY_PAGEUP);
    EXPECT_EQ(Bar()->GetValue(), 0);
    Key(vgui2::KEY_END);
    EXPECT_EQ(Bar()->GetValue(), 41 - 9);
    Key(vgui2::KEY_HOME, vgui2::KEY_LCONTROL);
    EXPECT_EQ(Bar()->GetValue(), 0);
    Key(vgui2::KEY_PAGEDOWN, vgui2::KEY_RCONTROL);
    EXPECT_EQ(Bar()->GetValue(), 41 - 9);
    Key(vgui2::KEY_UP);
    EXPECT_EQ(Bar()->GetValue(), 41 - 9) << "arrow keys do not scroll";
}

TEST_F(RichTextTest, FirstColourGivenBecomesTheTextColourOnlyOnce) {
    text->SetText("changelog");
    text->SetFgColor(kGreen);
    Frame();
    ASSERT_EQ(text->GetFgColor(), kSchemeFg) << "the scheme set the panel's colour";
    Drawn();
    ASSERT_FALSE(surface.drawnChars.empty());
    EXPECT_EQ(surface.drawnChars[0].color, kGreen) << "the run kept the first colour despite the scheme";

    text->SetText("next");
    Drawn();
    EXPECT_EQ(surface.drawnChars[0].color, kSchemeFg) << "a new text takes the current foreground";
}

TEST_F(RichTextTest, AppendedRunsAreDrawnInTheirColours) {
    Frame();
    text->SetText("ab");
    text->AppendText(u"cd", kBlue);
    text->AppendText(u"", kGreen);
    text->AppendText(u"e", kGreen);
    Frame();
    Drawn();
    ASSERT_EQ(surface.DrawnText(), u"abcde");
    EXPECT_EQ(surface.drawnChars[1].color, kSchemeFg);
    EXPECT_EQ(surface.drawnChars[2].color, kBlue);
    EXPECT_EQ(surface.drawnChars[3].color, kBlue);
    EXPECT_EQ(surface.drawnChars[4].color, kGreen);
    EXPECT_EQ(surface.drawnChars[4].x, 3 + 4 * 6);
}

TEST_F(RichTextTest, MaximumCharactersLimitAppendingButNotSetText) {
    text->SetMaximumCharCount(4);
    text->SetText(u"abcdef");
    EXPECT_EQ(text->GetText(), u"abcdef");
    text->AppendText(u"gh", kBlue);
    EXPECT_EQ(text->GetText(), u"abcdef");
    text->SetText(u"ab");
    text->AppendText(u"cdef", kBlue);
    EXPECT_EQ(text->GetText(), u"abcd");
}

TEST_F(RichTextTest, DraggingSelectsAndCopyWritesCarriageReturnLineFeed) {
    text->SetText(u"one two\nthree");
    Frame();
    Drag(4, 0, 2, 1);
    int lower = 0, upper = 0;
    ASSERT_TRUE(text->GetSelection(lower, upper));
    EXPECT_EQ(lower, 4);
    EXPECT_EQ(upper, 10);
    Drawn();
    for (const auto& drawn : surface.drawnChars) {
        bool inside = drawn.y == 1 ? drawn.x >= 3 + 4 * 6 : drawn.x < 3 + 2 * 6;
        EXPECT_EQ(drawn.color == Color(255, 255, 0, 255), inside) << "character " << static_cast<char>(drawn.ch);
    }

    Key(vgui2::KEY_C, vgui2::KEY_LCONTROL);
    EXPECT_EQ(system.clipboard, u"two\r\nth");
    EXPECT_EQ(system.clipboardWrites, 1);
    Key(vgui2::KEY_DELETE, vgui2::KEY_LSHIFT);
    EXPECT_EQ(system.clipboardWrites, 2);
    Key(vgui2::KEY_DELETE);
    EXPECT_EQ(system.clipboardWrites, 2) << "Delete alone does nothing";
}

TEST_F(RichTextTest, ClickWithoutDragSelectsNothingAndCopiesNothing) {
    text->SetText(u"one two");
    Frame();
    Drag(2, 0, 2, 0);
    int lower = 0, upper = 0;
    EXPECT_FALSE(text->GetSelection(lower, upper));
    EXPECT_EQ(TheInput().GetMouseCapture(), vgui2::kNoPanel) << "the release gives the mouse back";
    text->PostMessage(text, new KeyValues("DoCopySelected"));
    Deliver();
    EXPECT_EQ(system.clipboardWrites, 0);
}

TEST_F(RichTextTest, DoublePressSelectsTheWordUnderThePointer) {
    text->SetText(u"one two six");
    Frame();
    PointAt(5, 0);
    TheInput().InternalMousePressed(vgui2::MOUSE_LEFT);
    TheInput().InternalMouseDoublePressed(vgui2::MOUSE_LEFT);
    TheInput().InternalMouseReleased(vgui2::MOUSE_LEFT);
    text->CopySelected();
    EXPECT_EQ(system.clipboard, u"two");
}

TEST_F(RichTextTest, SelectionFollowsThePointerOutsideTheViewAndEndsWithTheCapture) {
    text->SetText(u"one two six");
    Frame();
    PointAt(1, 0);
    TheInput().InternalMousePressed(vgui2::MOUSE_LEFT);
    TheInput().InternalCursorMoved(kViewX + 200, kViewY + 5);
    Frame();
    int lower = 0, upper = 0;
    ASSERT_TRUE(text->GetSelection(lower, upper));
    EXPECT_EQ(upper, 8) << "the end of the wrapped first line \"one two \"";
    TheInput().SetMouseCapture(vgui2::kNoPanel);
    TheInput().InternalCursorMoved(kViewX + 10, kViewY + 5);
    Frame();
    ASSERT_TRUE(text->GetSelection(lower, upper));
    EXPECT_EQ(upper, 8) << "after the capture was lost the selection no longer moves";
}

TEST_F(RichTextTest, LosingTheFocusClearsTheSelection) {
    text->SetText(u"one two");
    Frame();
    Drag(0, 0, 3, 0);
    auto* other = new vgui2::Panel(root, "Other");
    TheInput().SetKeyFocus(text->GetVPanel());
    TheInput().SetKeyFocus(other->GetVPanel());
    Deliver();
    int lower = 0, upper = 0;
    EXPECT_FALSE(text->GetSelection(lower, upper));
}

TEST_F(RichTextTest, GetTextAnswersTheFirst511Characters) {
    text->SetText(std::u16string(600, u'x').c_str());
    KeyValues* request = new KeyValues("GetText");
    ASSERT_TRUE(text->RequestInfo(request));
    EXPECT_EQ(std::u16string(request->GetWString("text")), std::u16string(511, u'x'));
    request->deleteThis();
}

TEST_F(RichTextTest, NarrowTextIsCutAt1023CharactersAndTokensAreLookedUp) {
    text->SetText(std::string(1500, 'y').c_str());
    EXPECT_EQ(text->GetText().size(), 1023u);
    text->SetText(static_cast<const char*>(nullptr));
    EXPECT_TRUE(text->GetText().empty());

    TheLocalize().AddString("Rich_Token", u"looked up", nullptr);
    text->SetText("#Rich_Token");
    EXPECT_EQ(text->GetText(), u"looked up");
    text->SetText("#Rich_Unknown");
    EXPECT_EQ(text->GetText(), u"#Rich_Unknown");
    text->SetText("caf\xC3\xA9");
    EXPECT_EQ(text->GetText(), u"caf\u00E9");
    Frame();
    EXPECT_EQ(Drawn(), u"caf\u00E9") << "non-ASCII letters are printable";
}

TEST_F(RichTextTest, SetTextMessageReplacesTheText) {
    KeyValues* message = new KeyValues("SetText");
    message->SetWString("text", u"from a message");
    text->PostMessage(text, message);
    Deliver();
    EXPECT_EQ(text->GetText(), u"from a message");
}

TEST_F(RichTextTest, SettingsRoundTripAndTheFactoryKnowsTheControl) {
    KeyValues* settings = new KeyValues("Text");
    settings->SetString("text", "from the layout");
    settings->SetInt("maxchars", 300);
    text->ApplySettings(settings);
    settings->deleteThis();
    EXPECT_EQ(text->GetText(), u"from the layout");
    EXPECT_EQ(text->GetMaximumCharCount(), 300);

    KeyValues* saved = new KeyValues("Text");
    text->GetSettings(saved);
    EXPECT_STREQ(saved->GetString("text"), "from the layout");
    EXPECT_EQ(saved->GetInt("maxchars"), 300);
    EXPECT_STREQ(saved->GetString("ControlName"), "RichText");
    saved->deleteThis();

    KeyValues* plain = new KeyValues("Text");
    text->ApplySettings(plain);
    text->GetSettings(plain);
    EXPECT_EQ(plain->GetInt("maxchars"), -1) << "maxchars defaults to no limit";
    plain->deleteThis();

    EXPECT_NE(std::string(text->GetDescription()).find(", string text"), std::string::npos);
    vgui2::Panel* made = vgui2::CreateControlByName("RichText");
    ASSERT_NE(made, nullptr);
    EXPECT_STREQ(made->GetClassName(), "RichText");
    delete made;
}

TEST_F(RichTextTest, ClickableRunReportsAndOpensItsText) {
    auto* listener = new paneltest::RecordingPanel(root, "Listener");
    listener->SetPos(300, 250);
    text->AddActionSignalTarget(listener);
    text->SetText(u"see ");
    text->AppendText(u"example.org", kBlue, true);
    text->AppendText(u" now", kSchemeFg);
    text->SetWide(400);
    Frame();
    // Painting lays the click panels over their runs; the next frame makes
    // the new places count for hit testing.
    Drawn();
    Frame();
    vgui2::Panel* link = nullptr;
    for (int i = 0; i < text->GetChildCount(); ++i) {
        if (text->GetChild(i)->GetCursor() == vgui2::dc_hand) {
            link = text->GetChild(i);
        }
    }
    ASSERT_NE(link, nullptr) << "a clickable run gets a click panel";
    int x = 0, y = 0, wide = 0, tall = 0;
    link->GetBounds(x, y, wide, tall);
    EXPECT_EQ(x, 3 + 4 * 6);
    EXPECT_EQ(wide, 11 * 6);

    TheInput().InternalCursorMoved(kViewX + x + 2, kViewY + y + 2);
    TheInput().InternalMousePressed(vgui2::MOUSE_LEFT);
    TheInput().InternalMouseReleased(vgui2::MOUSE_LEFT);
    Deliver();
    ASSERT_EQ(system.opened, (std::vector<std::string>{"open example.org"}));
    EXPECT_NE(listener->Find("TextClicked"), nullptr);

    text->SetText(u"plain");
    for (int i = 0; i < text->GetChildCount(); ++i) {
        EXPECT_NE(text->GetChild(i)->GetCursor(), vgui2::dc_hand) << "a new text drops the click panels";
    }
}

TEST_F(RichTextTest, RightClickOpensAnEditMenuWhoseCopyFollowsTheSelection) {
    text->SetText(u"one two");
    Frame();
    PointAt(1, 0);
    TheInput().InternalMousePressed(vgui2::MOUSE_RIGHT);
    TheInput().InternalMouseReleased(vgui2::MOUSE_RIGHT);
    vgui2::Menu* menu = text->GetEditMenu();
    ASSERT_NE(menu, nullptr);
    EXPECT_STREQ(menu->GetName(), "EditMenu");
    ASSERT_EQ(menu->GetItemCount(), 1);
    vgui2::MenuItem* copy = menu->GetMenuItem(menu->GetMenuID(0));
    ASSERT_NE(copy, nullptr);
    EXPECT_FALSE(copy->IsEnabled()) << "nothing selected, nothing to copy";
    EXPECT_TRUE(menu->IsVisible());
    menu->SetVisible(false);

    Drag(0, 0, 3, 0);
    TheInput().InternalMousePressed(vgui2::MOUSE_RIGHT);
    vgui2::Menu* second = text->GetEditMenu();
    ASSERT_NE(second, nullptr);
    EXPECT_TRUE(second->GetMenuItem(second->GetMenuID(0))->IsEnabled());
    Deliver();
    int lower = 0, upper = 0;
    EXPECT_TRUE(text->GetSelection(lower, upper)) << "the selection survives the menu taking the focus";
    second->ActivateItem(second->GetMenuID(0));
    TheInput().InternalMouseReleased(vgui2::MOUSE_RIGHT);
    Deliver();
    EXPECT_EQ(system.clipboard, u"one");

    // Near the bottom right corner the menu opens to the left and above.
    TheInput().InternalCursorMoved(surface.screenWide - 2, surface.screenTall - 2);
    int x = surface.screenWide - 2, y = surface.screenTall - 2;
    KeyValues* press = new KeyValues("MousePressed", "code", vgui2::MOUSE_RIGHT);
    text->OnMessage(press, vgui2::kNoPanel);
    press->deleteThis();
    vgui2::Menu* corner = text->GetEditMenu();
    ASSERT_NE(corner, nullptr);
    int menuX = 0, menuY = 0;
    corner->GetPos(menuX, menuY);
    EXPECT_EQ(menuX, x - corner->GetWide());
    EXPECT_EQ(menuY, y - corner->GetTall());
}

}  // namespace
