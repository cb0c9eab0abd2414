// The GUI-loop service: ids and handles, posted and delayed messages in
// order, posting from other threads, deletion with messages still queued,
// deferred deletion, tick signals, focus ticks, running state and the
// default event waiter. Every loop here runs under a watchdog.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "tests/vgui2/PanelTestServices.h"

namespace {

using namespace std::chrono_literals;
using paneltest::RecordingPanel;
using vgui2::VPANEL;

class VGuiTest : public paneltest::ServicesTest {
protected:
    void SetUp() override {
        ServicesTest::SetUp();
        TheVGui().Start();
    }
};

// Collects the int "n" of every "Number" message, in arrival order.
class NumberPanel : public vgui2::Panel {
    VGUI2_PANEL_CLASS(NumberPanel, vgui2::Panel);

    NumberPanel() : Panel(nullptr, "numbers") {}
    std::vector<int> numbers;
    std::thread::id deliveredOn;
    void OnNumber(int n) {
        numbers.push_back(n);
        deliveredOn = std::this_thread::get_id();
    }
};

void NumberPanel::AddMessageHandlers(vgui2::PanelMessageMap& map) { map.Add<&NumberPanel::OnNumber>("Number", "n"); }

KeyValues* Number(int n) { return new KeyValues("Number", "n", n); }

TEST_F(VGuiTest, HandlesResolveOnlyWhileThePanelLives) {
    auto* panel = new RecordingPanel(nullptr, "p");
    VPANEL id = panel->GetVPanel();
    vgui2::HPanel handle = TheVGui().PanelToHandle(id);
    ASSERT_NE(handle, vgui2::kNoHandle);
    EXPECT_EQ(TheVGui().HandleToPanel(handle), id);
    delete panel;
    EXPECT_EQ(TheVGui().HandleToPanel(handle), vgui2::kNoPanel);
    EXPECT_EQ(TheVGui().PanelToHandle(id), vgui2::kNoHandle);
    EXPECT_EQ(TheVGui().HandleToPanel(vgui2::kNoHandle), vgui2::kNoPanel);

    // A new panel never takes over the old one's handle.
    auto* next = new RecordingPanel(nullptr, "next");
    EXPECT_NE(next->GetVPanel(), id);
    EXPECT_EQ(TheVGui().HandleToPanel(handle), vgui2::kNoPanel);
    delete next;
}

TEST_F(VGuiTest, PostedMessagesArriveInOrderOfDueTimeThenPosting) {
    NumberPanel panel;
    TheVGui().PostMessage(panel.GetVPanel(), Number(3), vgui2::kNoPanel, 0.06f);
    TheVGui().PostMessage(panel.GetVPanel(), Number(1), vgui2::kNoPanel);
    TheVGui().PostMessage(panel.GetVPanel(), Number(2), vgui2::kNoPanel);
    TheVGui().PostMessage(panel.GetVPanel(), Number(4), vgui2::kNoPanel, 0.06f);
    EXPECT_TRUE(panel.numbers.empty()) << "posting never delivers at once";

    auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(RunFramesUntil([&] { return panel.numbers.size() == 4; }));
    EXPECT_GE(std::chrono::steady_clock::now() - start, 55ms) << "a delayed message came early";
    EXPECT_EQ(panel.numbers, (std::vector<int>{1, 2, 3, 4}));
    EXPECT_EQ(panel.deliveredOn, std::this_thread::get_id());
}

TEST_F(VGuiTest, PostingFromOtherThreadsIsDeliveredInOrderOnTheGuiThread) {
    NumberPanel panel;
    constexpr int kThreads = 4;
    constexpr int kPerThread = 200;
    VPANEL target = panel.GetVPanel();
    std::vector<std::thread> workers;
    for (int t = 0; t < kThreads; ++t) {
        workers.emplace_back([t, target] {
            for (int i = 0; i < kPerThread; ++i) {
                TheVGui().PostMessage(target, Number(t * kPerThread + i), vgui2::kNoPanel);
            }
        });
    }
    ASSERT_TRUE(RunFramesUntil([&] { return panel.numbers.size() == kThreads * kPerThread; }));
    for (std::thread& worker : workers) {
        worker.join();
    }
    EXPECT_EQ(panel.deliveredOn, std::this_thread::get_id());
    // Each thread's messages keep their order.
    std::vector<int> lastSeen(kThreads, -1);
    for (int n : panel.numbers) {
        int thread = n / kPerThread;
        EXPECT_GT(n, lastSeen[static_cast<std::size_t>(thread)]);
        lastSeen[static_cast<std::size_t>(thread)] = n;
    }
}

TEST_F(VGuiTest, PostingFromAnotherThreadWakesAWaitingLoop) {
    NumberPanel panel;
    CurrentEventWaiter()->WaitForEvents(0.0);  // forget earlier wake-ups
    std::atomic<bool> posted{false};
    std::thread poster([&] {
        std::this_thread::sleep_for(50ms);
        posted = true;
        TheVGui().PostMessage(panel.GetVPanel(), Number(1), vgui2::kNoPanel);
    });
    // Only the post can end this wait early.
    auto start = std::chrono::steady_clock::now();
    do {
        CurrentEventWaiter()->WaitForEvents(10.0);
    } while (!posted && std::chrono::steady_clock::now() - start < 5s);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 2s);
    poster.join();
    ASSERT_TRUE(RunFramesUntil([&] { return !panel.numbers.empty(); }));
}

TEST_F(VGuiTest, DeletingATargetDropsItsQueuedMessages) {
    int destroyed = 0;
    struct Tracked : RecordingPanel {
        Tracked(int* counter) : RecordingPanel(nullptr, "tracked"), counter(counter) {}
        ~Tracked() override { ++*counter; }
        int* counter;
    };
    auto* doomed = new Tracked(&destroyed);
    NumberPanel survivor;
    TheVGui().PostMessage(doomed->GetVPanel(), new KeyValues("Late"), vgui2::kNoPanel, 10.0f);
    TheVGui().PostMessage(doomed->GetVPanel(), new KeyValues("Soon"), vgui2::kNoPanel);
    TheVGui().PostMessage(survivor.GetVPanel(), Number(7), vgui2::kNoPanel);
    delete doomed;
    EXPECT_EQ(TheVGuiImpl().PendingMessageCount(), 1u);
    ASSERT_TRUE(RunFramesUntil([&] { return !survivor.numbers.empty(); }));
    EXPECT_EQ(TheVGuiImpl().PendingMessageCount(), 0u);
}

TEST_F(VGuiTest, AMessageThatDeletesLaterTargetsOfTheSameFrameIsSafe) {
    auto* first = new RecordingPanel(nullptr, "first");
    auto* second = new RecordingPanel(nullptr, "second");
    TheVGui().PostMessage(first->GetVPanel(), new KeyValues("Delete"), vgui2::kNoPanel);
    TheVGui().PostMessage(second->GetVPanel(), new KeyValues("Hello"), vgui2::kNoPanel);
    TheVGui().PostMessage(second->GetVPanel(), new KeyValues("Delete"), vgui2::kNoPanel);
    TheVGui().PostMessage(second->GetVPanel(), new KeyValues("AfterDeath"), vgui2::kNoPanel);
    ASSERT_TRUE(RunFramesUntil([] { return TheVGuiImpl().PendingMessageCount() == 0; }));
    EXPECT_TRUE(ThePanelServiceImpl().RootPanels().empty());
}

TEST_F(VGuiTest, SendDeliversAtOnceAndTheSenderKeepsTheMessage) {
    auto* panel = new RecordingPanel(nullptr, "p");
    KeyValues* message = new KeyValues("Now", "value", 5);
    ThePanelService().SendMessage(panel->GetVPanel(), message, vgui2::kNoPanel);
    ASSERT_EQ(panel->Names(), std::vector<std::string>{"Now"});
    EXPECT_EQ(message->GetInt("value"), 5);
    message->deleteThis();
    delete panel;
}

TEST_F(VGuiTest, MarkedPanelsAreDeletedAfterTheFrameOnce) {
    int destroyed = 0;
    struct Tracked : RecordingPanel {
        Tracked(int* counter) : RecordingPanel(nullptr, "tracked"), counter(counter) {}
        ~Tracked() override { ++*counter; }
        int* counter;
    };
    auto* parent = new Tracked(&destroyed);
    auto* child = new Tracked(&destroyed);
    child->SetParent(parent);
    TheVGui().MarkPanelForDeletion(child->GetVPanel());
    TheVGui().MarkPanelForDeletion(parent->GetVPanel());
    TheVGui().MarkPanelForDeletion(parent->GetVPanel());
    EXPECT_EQ(destroyed, 0);
    TheVGui().RunFrame();
    EXPECT_EQ(destroyed, 2);
}

TEST_F(VGuiTest, TickSignalsAndFocusTicksReachTheirPanels) {
    auto* ticking = new RecordingPanel(nullptr, "ticking");
    auto* focused = new RecordingPanel(nullptr, "focused");
    TheVGui().AddTickSignal(ticking->GetVPanel(), 0);
    TheInput().SetKeyFocus(focused->GetVPanel());
    TheVGui().RunFrame();
    TheVGui().RunFrame();
    auto count = [](const RecordingPanel* panel, const char* name) {
        int n = 0;
        for (const auto& received : panel->messages) {
            n += received.name == name;
        }
        return n;
    };
    EXPECT_EQ(count(ticking, "Tick"), 2);
    EXPECT_EQ(count(focused, "KeyFocusTicked"), 2);
    TheVGui().RemoveTickSignal(ticking->GetVPanel());
    TheVGui().RunFrame();
    EXPECT_EQ(count(ticking, "Tick"), 2);

    // A slow tick waits for its interval.
    TheVGui().AddTickSignal(ticking->GetVPanel(), 60000);
    TheVGui().RunFrame();
    EXPECT_EQ(count(ticking, "Tick"), 2);
    delete ticking;
    delete focused;
}

TEST_F(VGuiTest, FramesThinkAndLayOutVisibleTreesOnly) {
    struct Thinker : RecordingPanel {
        using RecordingPanel::RecordingPanel;
        void OnThink() override { ++thinks; }
        void PerformLayout() override { ++layouts; }
        int thinks = 0;
        int layouts = 0;
    };
    auto* root = new Thinker(nullptr, "root");
    auto* shown = new Thinker(root, "shown");
    auto* hidden = new Thinker(root, "hidden");
    hidden->SetVisible(false);
    TheVGui().RunFrame();
    TheVGui().RunFrame();
    EXPECT_EQ(root->thinks, 2);
    EXPECT_EQ(shown->thinks, 2);
    EXPECT_EQ(shown->layouts, 1);
    EXPECT_EQ(hidden->thinks, 0);
    delete root;
}

TEST_F(VGuiTest, StopEndsTheRunningStateAndAStoppedLoopDoesNotWait) {
    EXPECT_TRUE(TheVGui().IsRunning());
    TheVGui().Stop();
    EXPECT_FALSE(TheVGui().IsRunning());
    auto start = std::chrono::steady_clock::now();
    TheVGui().RunFrame();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 500ms);
    TheVGui().Start();
    EXPECT_TRUE(TheVGui().IsRunning());
}

TEST_F(VGuiTest, AnIdleFrameSleepsInsteadOfSpinning) {
    auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < 5; ++i) {
        TheVGui().RunFrame();
    }
    // Five frames at about 60 a second.
    EXPECT_GE(std::chrono::steady_clock::now() - start, 60ms);
}

TEST_F(VGuiTest, DebugOutputIsFormatted) {
    TheVGui().DPrintf("%s has %d items\n", "list", 3);
    EXPECT_EQ(paneltest::DebugLog(), "list has 3 items\n");
}

TEST_F(VGuiTest, InitPicksTheFileSystemFromTheFactories) {
    static int fakeFileSystem = 0;
    CreateInterfaceFn factories[] = {
        nullptr,
        [](const char*, int* rc) -> void* {
            if (rc) {
                *rc = 1;
            }
            return nullptr;
        },
        [](const char* name, int*) -> void* {
            return std::string(name) == FILESYSTEM_INTERFACE_VERSION ? &fakeFileSystem : nullptr;
        },
    };
    IFileSystem* before = ModuleFileSystem();
    EXPECT_TRUE(TheVGui().Init(factories, 3));
    EXPECT_EQ(static_cast<void*>(ModuleFileSystem()), static_cast<void*>(&fakeFileSystem));
    SetModuleFileSystem(before);
}

}  // namespace
