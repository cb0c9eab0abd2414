// A frame on the real surface with the shipped scheme: it is a native popup
// window of its own, and its screenshot shows the frame border, the title
// bar in the focused colour with the title text on it, and the title
// buttons; losing the focus repaints the bar in the unfocused colour.
#include <memory>

#include "tests/modules/StagedSurfaceTest.h"
#include "vgui2/Frame.h"
#include "vgui2/FrameButton.h"

using namespace vgui2;

namespace {

class FrameWindowTest : public surfacetest::StagedLoopTest {
protected:
    void RunFrames(int count) {
        for (int i = 0; i < count; ++i) {
            TheVGui().RunFrame();
        }
    }

    // How many pixels of the rectangle have exactly this colour.
    int Count(int x0, int y0, int x1, int y1, Color color) const {
        int count = 0;
        for (int y = y0; y < y1; ++y) {
            for (int x = x0; x < x1; ++x) {
                count += At(x, y) == color ? 1 : 0;
            }
        }
        return count;
    }
};

TEST_F(FrameWindowTest, FrameIsAPopupWindowShowingBorderTitleBarAndButtons) {
    auto frame = std::make_unique<Frame>(nullptr, "Window");
    frame->SetBounds(60, 50, 320, 200);
    frame->SetTitle("Frame window", true);
    frame->Activate();
    RunFrames(4);
    ASSERT_NE(TheSurfaceImpl().WindowOf(frame->GetVPanel()), nullptr);

    ASSERT_NE(Shoot(*frame), nullptr);
    ASSERT_EQ(m_shot->w, 320);
    ASSERT_EQ(m_shot->h, 200);
    Color black{0, 0, 0, 255};
    EXPECT_EQ(At(0, 100), black) << "outer line of the frame border";
    EXPECT_EQ(At(319, 100), black);
    EXPECT_EQ(At(160, 199), black);
    EXPECT_EQ(At(1, 100), SchemeColor("BorderBright")) << "inner line, light side";
    EXPECT_EQ(At(318, 100), SchemeColor("BorderDark")) << "inner line, dark side";

    Color bar = SchemeColor("TitleBarBgColor");
    EXPECT_EQ(At(6, 6), bar);
    EXPECT_EQ(At(200, 26), bar);
    EXPECT_EQ(At(200, 40), SchemeColor("BgColor")) << "the bar ends at 28";
    EXPECT_GT(Count(28, 9, 140, 26, SchemeColor("TitleBarFgColor")), 20) << "the title's glyphs";

    // The close button: 18 by 18 at (320 - 25, 8), in its raised border.
    EXPECT_EQ(At(295, 12), SchemeColor("BorderBright"));
    EXPECT_EQ(At(312, 12), SchemeColor("BorderDark"));
    EXPECT_TRUE(frame->GetCloseButton()->IsVisible());

    // Another window takes the focus: the bar turns to the unfocused look.
    auto other = std::make_unique<Frame>(nullptr, "Other");
    other->SetBounds(420, 50, 200, 120);
    other->Activate();
    frame->Repaint();
    RunFrames(3);
    ASSERT_NE(Shoot(*frame), nullptr);
    EXPECT_EQ(At(200, 20), SchemeColor("TitleBarDisabledBgColor"));
    EXPECT_TRUE(frame->GetCloseButton()->HasDisabledLook());
}

}  // namespace
