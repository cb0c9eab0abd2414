// The updater's error boxes as a person meets them, on an X server of the
// test's own. That server has no X core fonts and the machine no zenity,
// so SDL's own message box cannot be shown there: what appears is the
// platform's own box, recognised by the red of its icon and the colour of
// its text. Every wait has a deadline; every program is ended by its id.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>

#include "tests/e2e/WindowFixture.h"

using namespace std::chrono_literals;
using testproc::NativeWindow;
using testproc::WaitUntil;
using testproc::WindowRect;
using testsupport::PathExists;
using testsupport::ReadFile;
namespace fs = std::filesystem;

namespace {

constexpr auto kAppearTimeout = 20s;
constexpr int kMaxBoxWide = 480;
constexpr const char* kCaptionPattern = "^Updater$";

struct Dismissal {
    const char* key;  // nullptr: SIGTERM
};

class ErrorBoxTest : public e2e::WindowTest {
protected:
    // As a person's desktop session starts it: a display and no SDL
    // settings (the test process itself asks for offscreen rendering).
    void StartUpdaterIn(const std::string& folder) {
        ASSERT_TRUE(m_updater.Start({folder + "/updater"},
                                    e2e::EnvironmentWith({"DISPLAY=" + m_x.Display(), "SDL_VIDEODRIVER="}), folder,
                                    m_root.File("updater.log")));
    }

    // The updater's window titled with the box's caption, other than one of
    // the given size (the updater's own frame, when it runs).
    bool FindBox(NativeWindow& box, const WindowRect& except = {}) {
        return WaitUntil(
            [&] {
                for (const NativeWindow& window : Windows(kCaptionPattern)) {
                    if (window.rect.wide != except.wide || window.rect.tall != except.tall) {
                        box = window;
                        return true;
                    }
                }
                return false;
            },
            kAppearTimeout);
    }

    // The box is drawn (icon and text), no wider than a readable box, and
    // the standard-error line was written before it was shown.
    void ExpectBoxShown(const NativeWindow& box, const std::string& text) {
        EXPECT_LE(box.rect.wide, kMaxBoxWide);
        EXPECT_GT(box.rect.tall, 60);
        std::string rgb = testproc::CaptureRgb(m_x, box.rect, Screenshot(text));
        ASSERT_FALSE(rgb.empty()) << "no screenshot of the box";
        EXPECT_TRUE(testproc::ShowsColour(rgb, 204, 44, 44)) << "no error icon";
        EXPECT_TRUE(testproc::ShowsColour(rgb, 221, 221, 221)) << "no text";
        EXPECT_NE(ReadFile(m_root.File("updater.log")).find("Updater: " + text), std::string::npos);
    }

    // A developer who sets UPD_SCREENSHOT_DIR gets the box as PNG to look at.
    static std::string Screenshot(const std::string& text) {
        const char* folder = std::getenv("UPD_SCREENSHOT_DIR");
        return folder ? std::string(folder) + "/errorbox-" + std::to_string(text.size()) + ".png" : std::string();
    }

    bool BoxVisible(const NativeWindow& box) {
        for (const NativeWindow& window : Windows(kCaptionPattern)) {
            if (window.id == box.id) {
                return true;
            }
        }
        return false;
    }

    void Dismiss(const NativeWindow& box, const Dismissal& dismissal) {
        if (dismissal.key) {
            ASSERT_EQ(m_x.Xdotool({"windowfocus", box.id}), 0);
            ASSERT_EQ(m_x.Xdotool({"key", dismissal.key}), 0);
        } else {
            ASSERT_EQ(kill(m_updater.Pid(), SIGTERM), 0);
        }
        EXPECT_TRUE(WaitUntil([&] { return !BoxVisible(box) || !m_updater.Running(); }, 10s)) << "the box stayed";
    }
};

// A start-up failure, before any GUI module runs: the box is all the
// person sees, and the run ends with status 1 once it is dismissed.
struct StartupFailure {
    const char* name;
    const char* removed;  // from a copy of the stage folder
    const char* text;
    Dismissal dismissal;
};

void PrintTo(const StartupFailure& failure, std::ostream* stream) { *stream << failure.name; }

class StartupErrorBoxTest : public ErrorBoxTest, public ::testing::WithParamInterface<StartupFailure> {};

TEST_P(StartupErrorBoxTest, ShowsTheBoxUntilDismissedThenExitsOne) {
    const char* stage = std::getenv("UPD_STAGE_DIR");
    ASSERT_NE(stage, nullptr);
    std::string folder = m_root.File("stage");
    fs::copy(stage, folder, fs::copy_options::recursive);
    ASSERT_TRUE(fs::remove(folder + "/" + GetParam().removed));
    StartUpdaterIn(folder);

    NativeWindow box;
    ASSERT_TRUE(FindBox(box)) << "no box appeared";
    ExpectBoxShown(box, GetParam().text);
    // Nobody answered yet: the updater waits for the person.
    std::this_thread::sleep_for(500ms);
    EXPECT_TRUE(m_updater.Running());

    Dismiss(box, GetParam().dismissal);
    EXPECT_EQ(m_updater.Wait(10s), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Updater, StartupErrorBoxTest,
    ::testing::Values(
        StartupFailure{"MissingGuiModule", "updvgui2.so", "Failed to load module updvgui2. Exiting...", {"Return"}},
        StartupFailure{"MissingScheme", "platform/resource/TrackerScheme.res",
                       "Failed to load scheme \"platform/resource/TrackerScheme.res\". Exiting...", {"KP_Enter"}},
        StartupFailure{"SignalWhileShown", "updfs.so", "Failed to load module updfs. Exiting...", {nullptr}}),
    [](const auto& info) { return std::string(info.param.name); });

// The game guard's refusal over the running window: the box is modal, and
// once it is gone the window is whole again and behaves as before. A
// SIGTERM that closes the box still reaches the window, which then closes
// as its close button would.
struct RefusalCase {
    const char* name;
    Dismissal dismissal;
};

void PrintTo(const RefusalCase& refusal, std::ostream* stream) { *stream << refusal.name; }

class RefusalErrorBoxTest : public ErrorBoxTest, public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(RefusalErrorBoxTest, BoxOverTheWindowAndTheWindowAfterIt) {
    PrepareDemo();
    // A running executable of that name: the kernel refuses to open it for
    // writing, as the game's lock would.
    fs::copy_file("/bin/sleep", Game("hl.exe"));
    ASSERT_TRUE(m_game.Start({Game("hl.exe"), "120"}, e2e::EnvironmentWith({}), m_demo.Game(), "/dev/null"));
    StartUpdater();
    ASSERT_TRUE(FindReadyWindow()) << "no updater window";
    std::string statusBefore = Pixels("UpdateStatusLabel");
    ASSERT_TRUE(Click("UpdateButton"));

    NativeWindow box;
    ASSERT_TRUE(FindBox(box, m_frame)) << "no refusal box";
    ExpectBoxShown(box, "Update cannot proceed.");
    ASSERT_TRUE(box.rect.Overlaps(m_frame)) << "the box is centred on the screen, over the window";
    // Modal: a click on the window does nothing while the box is up.
    ASSERT_TRUE(Click("UpdateButton"));
    EXPECT_TRUE(BoxVisible(box));

    Dismiss(box, GetParam().dismissal);
    if (!GetParam().dismissal.key) {
        EXPECT_EQ(m_updater.Wait(10s), 0) << "the signal closed the window after the box";
        return;
    }
    // The window repaints where the box was, and says why nothing happened.
    EXPECT_TRUE(WaitUntil([&] { return !testproc::ShowsColour(testproc::CaptureRgb(m_x, m_frame), 204, 44, 44); }, 5s))
        << "what the box covered was not repainted";
    EXPECT_NE(Pixels("UpdateStatusLabel"), statusBefore);
    EXPECT_EQ(ArchiveRequests(), 0) << "nothing is downloaded";
    ExpectGameUntouched();
    EXPECT_TRUE(m_updater.Running());

    // Still usable: with the game ended, back to the versions and update.
    m_game.Stop();
    ASSERT_TRUE(Click("UpdateButton"));
    ASSERT_TRUE(Click("UpdateButton"));
    EXPECT_TRUE(WaitUntil([&] { return PathExists(Game("qlm.branch")); }, kUpdateTimeout))
        << "no update after the refusal";
    EXPECT_EQ(ArchiveRequests(), 1);
}

INSTANTIATE_TEST_SUITE_P(Updater, RefusalErrorBoxTest,
                         ::testing::Values(RefusalCase{"Enter", {"Return"}}, RefusalCase{"Signal", {nullptr}}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
