// The root viewport: an invisible container that owns the way to the
// updater window, creates a new window when the old one is gone, and never
// creates one off the GUI thread.
#include <gtest/gtest.h>

#include <thread>

#include "tests/ui/WindowTestSupport.h"

namespace {

using ViewportTest = windowtest::WindowTest;

TEST_F(ViewportTest, TheWindowExistsActiveAndUniqueAfterConstruction) {
    TheUpdatePublisher().Install(app::UpdaterFrameOfViewport);
    app::g_viewport = new CTarnViewport();
    CUpdaterFrame* frame = app::g_viewport->GetUpdaterFrame();
    ASSERT_NE(frame, nullptr);
    EXPECT_TRUE(frame->IsVisible());
    EXPECT_EQ(app::g_viewport->GetUpdaterFrame(), frame);
    EXPECT_EQ(app::g_viewport->GetWide(), 0);
    EXPECT_EQ(app::g_viewport->GetTall(), 0);
    // The frame is a top-level window, not drawn inside the viewport.
    EXPECT_EQ(frame->GetVParent(), TheSurface().GetEmbeddedPanel());
    RunFrames(3);
}

TEST_F(ViewportTest, AFrameThatIsGoneIsRecreatedOnlyOnTheGuiThread) {
    CUpdaterFrame* frame = OpenWindow();
    ASSERT_NE(frame, nullptr);
    frame->MarkForDeletion();
    RunFrames(1);

    CUpdaterFrame* fromWorker = reinterpret_cast<CUpdaterFrame*>(1);
    std::thread([&fromWorker] { fromWorker = app::g_viewport->GetUpdaterFrame(); }).join();
    EXPECT_EQ(fromWorker, nullptr);

    CUpdaterFrame* again = app::g_viewport->GetUpdaterFrame();
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(app::g_viewport->GetUpdaterFrame(), again);
    again->Activate();
    RunFrames(2);
    EXPECT_EQ(windowtest::LabelText(again->GetRemoteVersionLabel()), "Available version: 2.0");
}

}  // namespace
