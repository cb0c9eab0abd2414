// Tooltip: the hint waits half a second after the pointer enters, restarts
// the wait when the pointer moves, goes away when the pointer leaves, is
// placed beside the pointer inside the screen, and all panels share one
// window that goes away with the last tooltip.
#include <gtest/gtest.h>

#include "tests/vgui2/ToolkitTestServices.h"
#include "vgui2/KeyValues.h"
#include "vgui2/Panel.h"
#include "vgui2/TextEntry.h"
#include "vgui2/Tooltip.h"
#include "vgui2/WideText.h"

namespace {

using vgui2::Tooltip;

class TooltipTest : public toolkittest::ToolkitTest {
protected:
    void SetUp() override {
        ToolkitTest::SetUp();
        root = new vgui2::Panel(nullptr, "root");
        root->SetSize(800, 600);
        hinted = MakeHinted("hinted", 100, 100, "Checks for a newer version");
    }

    void TearDown() override {
        delete root;
        EXPECT_EQ(Tooltip::SharedWindow(), nullptr) << "the window goes with the last tooltip";
        ToolkitTest::TearDown();
    }

    vgui2::Panel* MakeHinted(const char* name, int x, int y, const char* text) {
        auto* panel = new vgui2::Panel(root, name);
        panel->SetBounds(x, y, 100, 30);
        KeyValues* settings = new KeyValues(name);
        settings->SetString("tooltiptext", text);
        panel->ApplySettings(settings);
        settings->deleteThis();
        return panel;
    }

    void Frame() { TheVGui().RunFrame(); }

    bool Shown() { return Tooltip::SharedWindow() && Tooltip::SharedWindow()->IsVisible(); }

    vgui2::Panel* root = nullptr;
    vgui2::Panel* hinted = nullptr;
};

TEST_F(TooltipTest, AppearsOnlyAfterTheDelay) {
    TheInput().InternalCursorMoved(120, 110);
    Frame();
    EXPECT_FALSE(Shown());
    system.now += Tooltip::kDelayMs - 1;
    Frame();
    EXPECT_FALSE(Shown());
    system.now += 1;
    Frame();
    ASSERT_TRUE(Shown());
    EXPECT_EQ(vgui2::ToNarrow(Tooltip::SharedWindow()->GetWideText()), "Checks for a newer version");
    EXPECT_FALSE(Tooltip::SharedWindow()->IsEditable());

    int x = 0, y = 0;
    Tooltip::SharedWindow()->GetPos(x, y);
    EXPECT_EQ(x, 120);
    EXPECT_EQ(y, 110 + 20) << "below the pointer when it fits";
    int wide = 0, tall = 0;
    Tooltip::SharedWindow()->GetSize(wide, tall);
    EXPECT_GE(wide, 26 * kCharWidth) << "sized to its text";

    TheInput().InternalCursorMoved(500, 500);
    Frame();
    EXPECT_FALSE(Shown()) << "leaving the panel hides the hint";
}

TEST_F(TooltipTest, MovingThePointerRestartsTheWait) {
    TheInput().InternalCursorMoved(120, 110);
    system.now += 400;
    TheInput().InternalCursorMoved(125, 112);
    system.now += 400;
    Frame();
    EXPECT_FALSE(Shown());
    system.now += 100;
    Frame();
    EXPECT_TRUE(Shown());
}

TEST_F(TooltipTest, StaysOnTheScreenNearItsEdges) {
    vgui2::Panel* corner = MakeHinted("corner", 690, 560, "A hint near the bottom right corner");
    TheInput().InternalCursorMoved(785, 585);
    system.now += Tooltip::kDelayMs;
    Frame();
    ASSERT_TRUE(Shown());
    int x = 0, y = 0, wide = 0, tall = 0;
    Tooltip::SharedWindow()->GetBounds(x, y, wide, tall);
    EXPECT_EQ(x + wide, 785) << "ends at the pointer when it does not fit to the right";
    EXPECT_EQ(y, 585 - 20 - tall) << "above the pointer when it does not fit below";
    (void)corner;
}

TEST_F(TooltipTest, LongTextsWrapIntoSeveralLines) {
    std::string longText;
    for (int i = 0; i < 30; ++i) {
        longText += "word ";
    }
    hinted->SetTooltipText(longText.c_str());
    TheInput().InternalCursorMoved(120, 110);
    system.now += Tooltip::kDelayMs;
    Frame();
    ASSERT_TRUE(Shown());
    int wide = 0, tall = 0;
    Tooltip::SharedWindow()->GetSize(wide, tall);
    EXPECT_LE(wide, 320);
    EXPECT_GE(tall, 2 * kFontTall);
}

TEST_F(TooltipTest, PanelsShareOneWindowAndReportTheirText) {
    vgui2::Panel* other = MakeHinted("other", 300, 100, "#Missing_Token");
    TheInput().InternalCursorMoved(120, 110);
    vgui2::TextEntry* first = Tooltip::SharedWindow();
    ASSERT_NE(first, nullptr);
    TheInput().InternalCursorMoved(320, 110);
    EXPECT_EQ(Tooltip::SharedWindow(), first);
    system.now += Tooltip::kDelayMs;
    Frame();
    EXPECT_EQ(vgui2::ToNarrow(first->GetWideText()), "#Missing_Token") << "an unknown token shows as written";

    KeyValues* out = new KeyValues("out");
    other->GetSettings(out);
    EXPECT_STREQ(out->GetString("tooltiptext"), "#Missing_Token");
    out->deleteThis();
    KeyValues* plain = new KeyValues("plain");
    root->GetSettings(plain);
    EXPECT_EQ(plain->FindKey("tooltiptext"), nullptr) << "no hint, no key";
    plain->deleteThis();
}

TEST_F(TooltipTest, TokensAreLocalized) {
    TheLocalize().AddString("Hint_Update", u"Update now", "test");
    hinted->SetTooltipText("#Hint_Update");
    TheInput().InternalCursorMoved(120, 110);
    EXPECT_EQ(vgui2::ToNarrow(Tooltip::SharedWindow()->GetWideText()), "Update now");
}

TEST_F(TooltipTest, DeletingTheHoveredPanelTakesItsHintAway) {
    TheInput().InternalCursorMoved(120, 110);
    system.now += Tooltip::kDelayMs;
    Frame();
    ASSERT_TRUE(Shown());
    vgui2::Panel* keeper = MakeHinted("keeper", 400, 400, "still here");
    delete hinted;
    EXPECT_FALSE(Shown());
    (void)keeper;
}

TEST_F(TooltipTest, AWindowDeletedElsewhereIsMadeAgain) {
    TheInput().InternalCursorMoved(120, 110);
    delete Tooltip::SharedWindow();
    EXPECT_EQ(Tooltip::SharedWindow(), nullptr);
    system.now += Tooltip::kDelayMs;
    Frame();
    TheInput().InternalCursorMoved(500, 500);
    TheInput().InternalCursorMoved(120, 110);
    system.now += Tooltip::kDelayMs;
    Frame();
    EXPECT_TRUE(Shown());
}

}  // namespace
