// The hand-off from worker threads to the window: reports made off the GUI
// thread wait in order until the GUI thread drains them, a burst of
// progress collapses to its newest report, a report on the GUI thread first
// applies what is pending, and a worker is never held up by the GUI thread.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "tests/ui/WindowTestSupport.h"
#include "vgui2/Button.h"
#include "vgui2/ProgressBar.h"

using windowtest::CommandOf;
using windowtest::LabelText;

namespace {

class PublisherTest : public windowtest::WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        m_frame = OpenWindow();
        ASSERT_NE(m_frame, nullptr);
        ASSERT_TRUE(RunFramesUntil([] { return update::g_updateState.selectedBranch.name == "stable"; }));
    }

    CUpdaterFrame* m_frame = nullptr;
};

TEST_F(PublisherTest, WorkerReportsWaitForTheGuiThreadAndKeepTheirOrder) {
    std::thread worker([] {
        for (int i = 1; i <= 5000; ++i) {
            update::PublishProgress(u"block", static_cast<float>(i) / 10000.0f);
        }
        update::PublishStatus("cURL error: reset\n", true, 1.0f);
        update::PublishProgress(u"late progress", 0.25f);
    });
    worker.join();
    // Nothing has touched the controls yet.
    EXPECT_EQ(LabelText(m_frame->GetUpdateStatusLabel()), "...");
    ASSERT_TRUE(TheUpdatePublisher().HasPending());

    TheUpdatePublisher().Drain();
    EXPECT_FALSE(TheUpdatePublisher().HasPending());
    // The last report is what stays, and the failure before it still took
    // effect: red bar, button back as "showelems".
    EXPECT_EQ(LabelText(m_frame->GetUpdateStatusLabel()), "late progress");
    EXPECT_FLOAT_EQ(m_frame->GetProgressBar()->GetProgress(), 0.25f);
    EXPECT_EQ(m_frame->GetProgressBar()->GetFgColor().r, 160);
    EXPECT_EQ(CommandOf(m_frame->GetUpdateButton()), "showelems");
}

TEST_F(PublisherTest, AGuiThreadReportAppliesThePendingOnesFirst) {
    std::thread worker([] { update::PublishStatus("Failed to resolve archive path.", true, 1.0f); });
    worker.join();
    update::PublishStatus("#Updater_P2", false, 0.0f);
    EXPECT_EQ(LabelText(m_frame->GetUpdateStatusLabel()), windowtest::TokenText("#Updater_P2"));
    EXPECT_FLOAT_EQ(m_frame->GetProgressBar()->GetProgress(), 0.0f);
    EXPECT_EQ(m_frame->GetProgressBar()->GetFgColor().r, 160);
    EXPECT_FALSE(TheUpdatePublisher().HasPending());
}

TEST_F(PublisherTest, ProgressAtTheEndEnablesTheButtonButKeepsItsText) {
    m_frame->OnCommand("update");
    std::string before = LabelText(m_frame->GetUpdateButton());
    update::PublishProgress(u"all bytes", 1.0f);
    EXPECT_TRUE(m_frame->GetUpdateButton()->IsEnabled());
    EXPECT_EQ(CommandOf(m_frame->GetUpdateButton()), "showelems");
    EXPECT_EQ(LabelText(m_frame->GetUpdateButton()), before);
}

TEST_F(PublisherTest, TheThinkStepShowsWorkerReportsWithoutHelp) {
    std::thread worker([] { update::PublishProgress(u"from the worker", 0.5f); });
    worker.join();
    ASSERT_TRUE(RunFramesUntil([this] { return LabelText(m_frame->GetUpdateStatusLabel()) == "from the worker"; },
                               std::chrono::seconds(5)));
}

TEST_F(PublisherTest, DrainingWhileAWorkerReportsShowsEveryStepInOrder) {
    // The GUI thread drains while the worker reports, as during a download;
    // what the window shows may skip progress steps but never goes back.
    std::atomic<bool> workerDone{false};
    std::thread worker([&workerDone] {
        for (int i = 1; i <= 20000; ++i) {
            update::PublishProgress(u"block", static_cast<float>(i) / 20000.0f);
        }
        update::PublishStatus("#Updater_Unpacking", false, 1.0f);
        workerDone = true;
    });
    float shown = 0.0f;
    bool wentBack = false;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!workerDone.load() && std::chrono::steady_clock::now() < deadline) {
        TheUpdatePublisher().Drain();
        float now = m_frame->GetProgressBar()->GetProgress();
        wentBack = wentBack || now < shown;
        shown = now;
    }
    worker.join();
    TheUpdatePublisher().Drain();
    EXPECT_FALSE(wentBack);
    EXPECT_EQ(LabelText(m_frame->GetUpdateStatusLabel()), windowtest::TokenText("#Updater_Unpacking"));
    EXPECT_EQ(LabelText(m_frame->GetUpdateButton()), windowtest::TokenText("#Updater_Stop"));
}

TEST_F(PublisherTest, ReportsWithoutAWindowAreDropped) {
    TheUpdatePublisher().Uninstall();
    TheUpdatePublisher().Install([]() -> CUpdaterFrame* { return nullptr; });
    update::PublishStatus("#Updater_P2", false, 0.0f);
    std::thread([] { update::PublishStatus("ignored", true, 1.0f); }).join();
    TheUpdatePublisher().Drain();
    EXPECT_EQ(LabelText(m_frame->GetUpdateStatusLabel()), "...");
}

}  // namespace
