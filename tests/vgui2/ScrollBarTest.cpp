// ScrollBar and ScrollBarSlider: range and window clamping, the moved
// messages, nob arithmetic (with a window as large as the range), paging
// by clicks beside the nob, dragging and its limits, scrolling past the
// end, and the auto-repeat of a held arrow button.
#include <gtest/gtest.h>

#include <vector>

#include "tests/vgui2/ToolkitTestServices.h"
#include "vgui2/Button.h"
#include "vgui2/ScrollBar.h"
#include "vgui2/ScrollBarSlider.h"

namespace {

using vgui2::ScrollBar;
using vgui2::ScrollBarSlider;

class ScrollBarTest : public toolkittest::ContainerTest {
protected:
    void SetUp() override {
        ContainerTest::SetUp();
        // A vertical bar 20 wide and 200 tall: arrows of 20, a slider of
        // 161 pixels from y 20.
        bar = new ScrollBar(root, "Scroll", true);
        bar->SetBounds(0, 0, 20, 200);
        bar->SetRange(0, 100);
        bar->SetRangeWindow(10);
        bar->InvalidateLayout(true, true);
        slider = bar->GetSlider();
        slider->InvalidateLayout(true);
    }

    std::vector<int> Moves() {
        Deliver();
        return root->moves;
    }

    std::pair<int, int> Nob() {
        int start = 0, end = 0;
        slider->GetNobPos(start, end);
        return {start, end};
    }

    ScrollBar* bar = nullptr;
    ScrollBarSlider* slider = nullptr;
};

TEST_F(ScrollBarTest, LayoutPutsTheArrowsAtTheEndsAndTheSliderBetween) {
    int x = 0, y = 0, wide = 0, tall = 0;
    slider->GetBounds(x, y, wide, tall);
    EXPECT_EQ(y, 20);
    EXPECT_EQ(wide, 20);
    EXPECT_EQ(tall, 161);
    bar->GetButton(1)->GetBounds(x, y, wide, tall);
    EXPECT_EQ(y, 180);
    EXPECT_EQ(wide, 19);
    EXPECT_EQ(tall, 20);
    EXPECT_EQ(bar->GetButton(2), nullptr);
}

TEST_F(ScrollBarTest, ValueIsClampedToTheRangeLessTheWindow) {
    bar->SetValue(95);
    EXPECT_EQ(bar->GetValue(), 90);
    bar->SetValue(-5);
    EXPECT_EQ(bar->GetValue(), 0);
    bar->SetValue(42);
    EXPECT_EQ(bar->GetValue(), 42);

    // Reversed bounds keep the given minimum and the larger maximum.
    bar->SetRange(30, 10);
    int min = 0, max = 0;
    bar->GetRange(min, max);
    EXPECT_EQ(min, 30);
    EXPECT_EQ(max, 30);
    EXPECT_EQ(bar->GetValue(), 42) << "a new range does not clamp the value by itself";
}

TEST_F(ScrollBarTest, EveryChangeIsReportedOnceAndNoChangeNotAtAll) {
    bar->SetValue(30);
    bar->SetValue(30);
    bar->SetValue(200);
    bar->SetValue(200);
    std::vector<int> moves = Moves();
    ASSERT_EQ(moves.size(), 2u) << "the slider's moves reach the owner through the bar";
    EXPECT_EQ(moves[0], 30);
    EXPECT_EQ(moves[1], 90);
}

TEST_F(ScrollBarTest, NobShowsTheWindowsPlaceAndIsNeverThinnerThanTheSlider) {
    EXPECT_EQ(Nob(), std::make_pair(0, 20)) << "10% of 160 is less than the 20-pixel thickness";
    bar->SetValue(90);
    EXPECT_EQ(Nob(), std::make_pair(140, 160));
    bar->SetValue(45);
    EXPECT_EQ(Nob(), std::make_pair(70, 90));

    bar->SetRangeWindow(50);
    slider->RecomputeNobPosFromValue();
    EXPECT_EQ(Nob().second - Nob().first, 80);

    // A window is usable while it fits the arrows and the slider together.
    EXPECT_TRUE(bar->HasFullRange());
    bar->SetRangeWindow(40 + 161 + 1);
    EXPECT_FALSE(bar->HasFullRange());
    bar->SetRangeWindow(0);
    EXPECT_FALSE(bar->HasFullRange());
}

TEST_F(ScrollBarTest, AWindowAsLargeAsTheRangeFillsTheSlider) {
    bar->SetRangeWindow(100);
    bar->SetValue(0);
    slider->RecomputeNobPosFromValue();
    EXPECT_EQ(Nob(), std::make_pair(0, 160));
    slider->RecomputeValueFromNobPos();
    EXPECT_EQ(bar->GetValue(), 0);

    // No nob is drawn when the window is not below the span.
    surface.filledRects.clear();
    slider->PaintTraverse(true, true);
    EXPECT_EQ(surface.filledRects.size(), 1u) << "only the track";

    bar->SetRangeWindow(0);
    bar->SetValue(0);
    slider->RecomputeNobPosFromValue();
    EXPECT_EQ(Nob(), std::make_pair(0, 160)) << "a zero window leaves the nob where it was";
}

TEST_F(ScrollBarTest, ClicksBesideTheNobPageByTheWindow) {
    bar->SetValue(50);
    auto [start, end] = Nob();
    ASSERT_GT(start, 10);
    TheInput().InternalCursorMoved(10, 20 + 5);
    TheInput().InternalMousePressed(vgui2::MOUSE_LEFT);
    TheInput().InternalMouseReleased(vgui2::MOUSE_LEFT);
    EXPECT_EQ(bar->GetValue(), 40);

    TheInput().InternalCursorMoved(10, 20 + 155);
    TheInput().InternalMousePressed(vgui2::MOUSE_LEFT);
    TheInput().InternalMouseReleased(vgui2::MOUSE_LEFT);
    EXPECT_EQ(bar->GetValue(), 50);
    EXPECT_FALSE(slider->IsDragging()) << "a press beside the nob does not drag";
    (void)end;
}

TEST_F(ScrollBarTest, DraggingMovesTheValueAndStopsAtBothEnds) {
    bar->SetValue(45);
    auto [start, end] = Nob();
    int grabY = 20 + (start + end) / 2;
    TheInput().InternalCursorMoved(10, grabY);
    TheInput().InternalMousePressed(vgui2::MOUSE_LEFT);
    ASSERT_TRUE(slider->IsDragging());
    EXPECT_EQ(TheInput().GetMouseCapture(), slider->GetVPanel());

    TheInput().InternalCursorMoved(10, grabY + 35);
    EXPECT_EQ(Nob().first, start + 35);
    EXPECT_EQ(bar->GetValue(), 67) << "the nob at 105 of 141 travelling pixels stands for 67 of 90";

    TheInput().InternalCursorMoved(10, grabY - 500);
    EXPECT_EQ(Nob().first, 0) << "pinned at the top";
    EXPECT_EQ(bar->GetValue(), 0);

    TheInput().InternalCursorMoved(10, grabY + 500);
    EXPECT_EQ(Nob().second, 161) << "pinned at the bottom";
    EXPECT_EQ(bar->GetValue(), 90);

    TheInput().InternalMouseReleased(vgui2::MOUSE_LEFT);
    EXPECT_FALSE(slider->IsDragging());
    EXPECT_EQ(TheInput().GetMouseCapture(), vgui2::kNoPanel);
    std::vector<int> moves = Moves();
    ASSERT_FALSE(moves.empty());
    EXPECT_EQ(moves.back(), 90);
}

TEST_F(ScrollBarTest, HorizontalNobStopsAtTheRightEdge) {
    auto* across = new ScrollBar(root, "Across", false);
    across->SetBounds(0, 250, 200, 20);
    across->SetRange(0, 100);
    across->SetRangeWindow(20);
    across->InvalidateLayout(true, true);
    ScrollBarSlider* horizontal = across->GetSlider();
    horizontal->InvalidateLayout(true);
    int start = 0, end = 0;
    horizontal->GetNobPos(start, end);
    int grabX = 20 + (start + end) / 2;
    TheInput().InternalCursorMoved(grabX, 260);
    TheInput().InternalMousePressed(vgui2::MOUSE_LEFT);
    TheInput().InternalCursorMoved(grabX + 1000, 260);
    horizontal->GetNobPos(start, end);
    EXPECT_EQ(end, horizontal->GetWide());
    EXPECT_EQ(across->GetValue(), 80);
    TheInput().InternalMouseReleased(vgui2::MOUSE_LEFT);
}

TEST_F(ScrollBarTest, ScrollingPastTheEndReportsTheUnclampedValue) {
    bar->SetValue(85);
    Moves();
    root->moves.clear();
    bar->ScrollByDirection(1);
    EXPECT_EQ(bar->GetValue(), 90);
    std::vector<int> moves = Moves();
    EXPECT_NE(std::find(moves.begin(), moves.end(), 105), moves.end());
    EXPECT_NE(std::find(moves.begin(), moves.end(), 90), moves.end());
}

TEST_F(ScrollBarTest, HeldArrowStepsAtOnceThenRepeatsAfterTheDelay) {
    bar->SetButtonPressedScrollValue(1);
    // Rest the pointer on the down arrow, then hold it.
    TheInput().InternalCursorMoved(10, 190);
    TheVGui().RunFrame();
    TheInput().InternalMousePressed(vgui2::MOUSE_LEFT);
    ASSERT_TRUE(bar->GetButton(1)->IsDepressed());

    TheVGui().RunFrame();
    EXPECT_EQ(bar->GetValue(), 1) << "one step at once";
    system.now += 200;
    TheVGui().RunFrame();
    TheVGui().RunFrame();
    EXPECT_EQ(bar->GetValue(), 1) << "nothing more before the delay";

    int steps = 0;
    for (int tick = 0; tick < 40; ++tick) {
        system.now += 25;
        TheVGui().RunFrame();
    }
    steps = bar->GetValue() - 1;
    EXPECT_GE(steps, 10) << "about one step every 50 ms after the delay";
    EXPECT_LE(steps, 20);

    TheInput().InternalMouseReleased(vgui2::MOUSE_LEFT);
    int released = bar->GetValue();
    system.now += 1000;
    TheVGui().RunFrame();
    EXPECT_EQ(bar->GetValue(), released);
}

}  // namespace
