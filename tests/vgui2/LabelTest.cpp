// Label and TextImage: hotkeys, localized and dialog-variable texts, the
// text messages and requests, wrap versus ellipsis, alignment and content
// size, the disabled double draw, the associate, and settings both ways.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/vgui2/ToolkitTestServices.h"
#include "vgui2/Label.h"
#include "vgui2/TextImage.h"

namespace {

using vgui2::Color;
using vgui2::Label;
using vgui2::wchar;

class LabelTest : public toolkittest::ContainerTest {
protected:
    static std::u16string TextOf(Label* label) {
        wchar text[256];
        label->GetText(text, sizeof(text));
        return text;
    }

    // Lays the label out and paints it; returns what was drawn.
    std::u16string Draw(Label* label) {
        label->InvalidateLayout(true, true);
        surface.drawnChars.clear();
        label->PaintTraverse(true, true);
        return surface.DrawnText();
    }
};

TEST_F(LabelTest, HotkeyFollowsTheAmpersandRules) {
    EXPECT_EQ(Label::CalculateHotkey("&Apply"), u'a');
    EXPECT_EQ(Label::CalculateHotkey("Save &As"), u'a');
    EXPECT_EQ(Label::CalculateHotkey("Fish && Chips"), 0);
    EXPECT_EQ(Label::CalculateHotkey("Ends with &"), 0);
    EXPECT_EQ(Label::CalculateHotkey("&&&Bold"), u'b');
    EXPECT_EQ(Label::CalculateHotkey("& space then &X"), u'x');

    auto* label = new Label(root, "L", "&Quit");
    EXPECT_EQ(label->HasHotkey(u'q'), label);
    EXPECT_EQ(label->HasHotkey(u'Q'), nullptr);
    EXPECT_EQ(label->HasHotkey(u'u'), nullptr);
}

TEST_F(LabelTest, AmpersandsAreNotDrawnAndDoubledOnesDrawOnce) {
    auto* label = new Label(root, "L", "A&&B && &C");
    label->SetSize(300, 20);
    EXPECT_EQ(Draw(label), u"A&B & C");
    EXPECT_EQ(label->GetHotkey(), u'c');
    int wide = 0, tall = 0;
    label->GetTextImage()->GetContentSize(wide, tall);
    EXPECT_EQ(wide, 7 * kCharWidth);
}

TEST_F(LabelTest, TokenTextsAreLocalizedAndMissingTokensShownLiterally) {
    TheLocalize().AddString("Greeting", u"&Hello there", nullptr);
    auto* label = new Label(root, "L", "#Greeting");
    EXPECT_EQ(TextOf(label), u"&Hello there");
    EXPECT_EQ(label->GetHotkey(), u'h');

    label->SetText("#NoSuchToken");
    EXPECT_EQ(TextOf(label), u"#NoSuchToken");

    KeyValues* settings = new KeyValues("L");
    label->SetText("#Greeting");
    label->GetSettings(settings);
    EXPECT_STREQ(settings->GetString("labelText"), "#Greeting");
    settings->deleteThis();
}

TEST_F(LabelTest, VariableTextShowsItsNameUntilTheVariableIsSet) {
    auto* label = new Label(root, "Status", "");
    KeyValues* settings = new KeyValues("Status");
    settings->SetString("labelText", "%version%");
    label->ApplySettings(settings);
    settings->deleteThis();
    EXPECT_EQ(TextOf(label), u"%version%");

    root->SetVariable("version", "1.2.3");
    EXPECT_EQ(TextOf(label), u"1.2.3");
    root->SetVariable("version", 7);
    EXPECT_EQ(TextOf(label), u"7");

    KeyValues* back = new KeyValues("Status");
    label->GetSettings(back);
    EXPECT_STREQ(back->GetString("labelText"), "%version%");
    back->deleteThis();
}

TEST_F(LabelTest, LiteralTextUnbindsTheTokenSoVariablesCannotBringItBack) {
    TheLocalize().AddString("Progress", u"Step %step%", nullptr);
    auto* label = new Label(root, "L", "#Progress");
    root->SetVariable("step", "2");
    EXPECT_EQ(TextOf(label), u"Step 2");

    label->SetText("Done");
    root->SetVariable("step", "3");
    EXPECT_EQ(TextOf(label), u"Done");
}

TEST_F(LabelTest, SetTextMessageTakesNarrowAndWideTextsOnly) {
    auto* label = new Label(root, "L", "start");
    KeyValues* narrow = new KeyValues("SetText");
    narrow->SetString("text", "narrow");
    label->OnMessage(narrow, vgui2::kNoPanel);
    narrow->deleteThis();
    EXPECT_EQ(TextOf(label), u"narrow");

    KeyValues* wide = new KeyValues("SetText");
    wide->SetWString("text", u"wide \u00e9");
    label->OnMessage(wide, vgui2::kNoPanel);
    wide->deleteThis();
    EXPECT_EQ(TextOf(label), u"wide \u00e9");

    KeyValues* number = new KeyValues("SetText", "text", 5);
    label->OnMessage(number, vgui2::kNoPanel);
    number->deleteThis();
    KeyValues* missing = new KeyValues("SetText");
    label->OnMessage(missing, vgui2::kNoPanel);
    missing->deleteThis();
    EXPECT_EQ(TextOf(label), u"wide \u00e9");

    KeyValues* request = new KeyValues("GetText");
    ASSERT_TRUE(label->RequestInfo(request));
    EXPECT_EQ(std::u16string(request->GetWString("text")), u"wide \u00e9");
    request->deleteThis();
}

TEST_F(LabelTest, OneLineTooWideEndsInEllipsisAtACharacterBoundary) {
    auto* label = new Label(root, "L", "Hello wonderful world");
    label->SetSize(60, 20);
    std::u16string drawn = Draw(label);
    ASSERT_GE(drawn.size(), 4u);
    EXPECT_EQ(drawn.substr(drawn.size() - 3), u"...");
    std::u16string kept = drawn.substr(0, drawn.size() - 3);
    EXPECT_EQ(std::u16string(u"Hello wonderful world").rfind(kept, 0), 0u) << "a prefix of the text is kept";
    EXPECT_LE(static_cast<int>(drawn.size()) * kCharWidth, 60);
    EXPECT_EQ(label->GetTextImage()->GetEllipsisPosition(), static_cast<int>(kept.size()));
    for (const auto& ch : surface.drawnChars) {
        EXPECT_EQ(ch.y, surface.drawnChars.front().y) << "everything on one line";
    }

    // A text that fits is drawn whole.
    label->SetText("Short");
    EXPECT_EQ(Draw(label), u"Short");
}

TEST_F(LabelTest, WrappedTextBreaksAtWordStartsAndNeverShowsAnEllipsis) {
    auto* label = new Label(root, "L", "Hello wonderful world");
    label->SetWrap(true);
    label->SetSize(60, 40);
    std::u16string drawn = Draw(label);
    EXPECT_EQ(drawn.find(u"..."), std::u16string::npos);
    EXPECT_EQ(drawn, u"Hello wonderful world");

    const std::vector<int>& breaks = label->GetTextImage()->GetLineBreaks();
    ASSERT_EQ(breaks.size(), 2u);
    EXPECT_EQ(breaks[0], 6) << "the second line starts with 'wonderful'";
    EXPECT_EQ(breaks[1], 16) << "the third line starts with 'world'";

    // Each line starts at the left edge, one font height below the last.
    int firstX = surface.drawnChars[0].x;
    EXPECT_EQ(surface.drawnChars[6].x, firstX);
    EXPECT_EQ(surface.drawnChars[6].y, surface.drawnChars[0].y + kFontTall);
    EXPECT_EQ(surface.drawnChars[16].y, surface.drawnChars[0].y + 2 * kFontTall);

    int wide = 0, tall = 0;
    label->GetTextImage()->GetContentSize(wide, tall);
    EXPECT_EQ(tall, 3 * kFontTall);
    EXPECT_EQ(wide, 10 * kCharWidth);
}

TEST_F(LabelTest, ASurrogatePairIsNeverSplitByAnEllipsisOrALineBreak) {
    // Pairs start at the odd indices: a cut at an even one would split one.
    const std::u16string text = u"a\U0001F600\U0001F600\U0001F600\U0001F600\U0001F600\U0001F600";
    auto* label = new Label(root, "L", "");
    label->SetText(text.c_str());
    label->SetSize(5 * kCharWidth, 20);
    Draw(label);
    int ellipsis = label->GetTextImage()->GetEllipsisPosition();
    EXPECT_GT(ellipsis, 0);
    EXPECT_EQ(ellipsis % 2, 1) << ellipsis;

    label->SetWrap(true);
    Draw(label);
    EXPECT_EQ(label->GetTextImage()->GetLineBreaks(), (std::vector<int>{9})) << "five characters a line";
    int wide = 0, tall = 0;
    label->GetTextImage()->GetContentSize(wide, tall);
    EXPECT_EQ(wide, 5 * kCharWidth);
}

TEST_F(LabelTest, AWordLongerThanTheLineIsBrokenInsideIt) {
    auto* label = new Label(root, "L", "abcdefghijkl");
    label->SetWrap(true);
    label->SetSize(30, 40);
    Draw(label);
    const std::vector<int>& breaks = label->GetTextImage()->GetLineBreaks();
    ASSERT_EQ(breaks.size(), 2u);
    EXPECT_EQ(breaks[0], 5);
    EXPECT_EQ(breaks[1], 10);
}

TEST_F(LabelTest, NewlinesStartLinesAndCountInTheContentSize) {
    auto* label = new Label(root, "L", "one\nthree");
    int wide = 0, tall = 0;
    label->GetContentSize(wide, tall);
    EXPECT_EQ(wide, 5 * kCharWidth);
    EXPECT_EQ(tall, 2 * kFontTall);
    label->SizeToContents();
    EXPECT_EQ(label->GetWide(), 5 * kCharWidth);
    EXPECT_EQ(label->GetTall(), 2 * kFontTall);
}

TEST_F(LabelTest, AlignmentPlacesTheTextInsideTheLabel) {
    auto* label = new Label(root, "L", "abcd");
    label->SetSize(100, 30);
    label->SetContentAlignment(Label::a_southeast);
    Draw(label);
    EXPECT_EQ(surface.drawnChars.front().x, 100 - 4 * kCharWidth);
    EXPECT_EQ(surface.drawnChars.front().y, 30 - kFontTall);

    label->SetContentAlignment(Label::a_center);
    Draw(label);
    EXPECT_EQ(surface.drawnChars.front().x, (100 - 4 * kCharWidth) / 2);
    EXPECT_EQ(surface.drawnChars.front().y, (30 - kFontTall) / 2);

    label->SetContentAlignment(Label::a_northwest);
    label->SetTextInset(5, 3);
    Draw(label);
    EXPECT_EQ(surface.drawnChars.front().x, 5);
    EXPECT_EQ(surface.drawnChars.front().y, 3);
}

TEST_F(LabelTest, DisabledTextIsDrawnTwiceOffsetByOnePixel) {
    schemes.colors["DisabledFgColor1"] = Color(1, 1, 1, 255);
    schemes.colors["DisabledFgColor2"] = Color(2, 2, 2, 255);
    schemes.colors["BaseText"] = Color(3, 3, 3, 255);
    auto* label = new Label(root, "L", "ab");
    label->SetSize(100, 20);
    EXPECT_EQ(Draw(label), u"ab");
    EXPECT_EQ(surface.drawnChars[0].color, Color(3, 3, 3, 255));

    label->SetEnabled(false);
    ASSERT_EQ(Draw(label), u"abab");
    EXPECT_EQ(surface.drawnChars[0].color, Color(1, 1, 1, 255));
    EXPECT_EQ(surface.drawnChars[2].color, Color(2, 2, 2, 255));
    EXPECT_EQ(surface.drawnChars[0].x, surface.drawnChars[2].x + 1);
    EXPECT_EQ(surface.drawnChars[0].y, surface.drawnChars[2].y + 1);
}

TEST_F(LabelTest, ColourStatesAndSchemeColoursApply) {
    schemes.colors["LabelDimText"] = Color(10, 0, 0, 255);
    schemes.colors["BrightControlText"] = Color(20, 0, 0, 255);
    schemes.colors["LabelBgColor"] = Color(0, 0, 30, 255);
    auto* label = new Label(root, "L", "x");
    KeyValues* settings = new KeyValues("L");
    settings->SetInt("dulltext", 1);
    settings->SetInt("brighttext", 1);
    label->ApplySettings(settings);
    EXPECT_EQ(label->GetTextColorState(), Label::CS_DULL) << "dull wins over bright";
    EXPECT_EQ(label->GetFgColor(), Color(10, 0, 0, 255));
    EXPECT_EQ(label->GetBgColor(), Color(0, 0, 30, 255));

    settings->SetInt("dulltext", 0);
    label->ApplySettings(settings);
    EXPECT_EQ(label->GetTextColorState(), Label::CS_BRIGHT);
    EXPECT_EQ(label->GetFgColor(), Color(20, 0, 0, 255));
    settings->deleteThis();
}

TEST_F(LabelTest, SettingsReadBackAsTheyWereGiven) {
    auto* target = new vgui2::Panel(root, "NameEntry");
    auto* label = new Label(root, "NameLabel", "");
    KeyValues* settings = new KeyValues("NameLabel");
    settings->SetString("labelText", "&Name:");
    settings->SetString("textAlignment", "NORTH-EAST");
    settings->SetString("associate", "nameentry");
    settings->SetString("font", "Title");
    settings->SetInt("wrap", 1);
    label->ApplySettings(settings);
    settings->deleteThis();

    KeyValues* back = new KeyValues("NameLabel");
    label->GetSettings(back);
    EXPECT_STREQ(back->GetString("ControlName"), "Label");
    EXPECT_STREQ(back->GetString("labelText"), "&Name:");
    EXPECT_STREQ(back->GetString("textAlignment"), "north-east");
    EXPECT_STREQ(back->GetString("associate"), "NameEntry");
    EXPECT_STREQ(back->GetString("font"), "Title");
    EXPECT_EQ(back->GetInt("wrap"), 1);
    EXPECT_EQ(back->GetInt("dulltext"), 0);

    // An unknown alignment name leaves the alignment alone; an empty font
    // is not written back.
    back->SetString("textAlignment", "upwards");
    back->SetString("font", "");
    label->ApplySettings(back);
    EXPECT_EQ(label->GetContentAlignment(), Label::a_northeast);
    KeyValues* again = new KeyValues("NameLabel");
    label->GetSettings(again);
    EXPECT_EQ(again->FindKey("font"), nullptr);
    again->deleteThis();
    back->deleteThis();
    EXPECT_EQ(label->GetAssociatedControl(), target);
}

TEST_F(LabelTest, TextBrightensWhileTheAssociateHasTheFocus) {
    schemes.colors["BaseText"] = Color(100, 100, 100, 255);
    schemes.colors["BrightControlText"] = Color(250, 250, 250, 255);
    auto* entry = new vgui2::EditablePanel(root, "Entry");
    auto* inside = new vgui2::Panel(entry, "Inside");
    auto* label = new Label(root, "L", "name");
    label->SetSize(100, 20);
    label->SetAssociatedControl(entry);
    Draw(label);
    EXPECT_EQ(surface.drawnChars.front().color, Color(100, 100, 100, 255));
    TheInput().SetKeyFocus(inside->GetVPanel());
    Draw(label);
    EXPECT_EQ(surface.drawnChars.front().color, Color(250, 250, 250, 255)) << "focus inside the associate counts";
}

TEST_F(LabelTest, ClickOrHotkeyOnALabelFocusesItsAssociate) {
    auto* entry = new vgui2::Panel(root, "Entry");
    entry->SetBounds(100, 0, 50, 20);
    auto* label = new Label(root, "L", "&Entry");
    label->SetBounds(0, 0, 50, 20);
    label->SetAssociatedControl(entry);

    TheInput().InternalCursorMoved(10, 10);
    TheInput().InternalMousePressed(vgui2::MOUSE_LEFT);
    TheInput().InternalMouseReleased(vgui2::MOUSE_LEFT);
    EXPECT_EQ(TheInput().GetFocus(), entry->GetVPanel());

    TheInput().SetKeyFocus(root->GetVPanel());
    KeyValues* hotkey = new KeyValues("Hotkey");
    label->OnMessage(hotkey, vgui2::kNoPanel);
    hotkey->deleteThis();
    EXPECT_EQ(TheInput().GetFocus(), entry->GetVPanel());
}

}  // namespace
