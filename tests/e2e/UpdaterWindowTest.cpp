// The real updater in a demo game folder on an X server of the test's own,
// worked with xdotool as a person would: controls are found through the
// window's layout file and the position of its native window, and what the
// updater did is read from the game folder, the release server's log and
// the exit status. Every wait has a deadline; the X server, the release
// server, the updater and any "hl.exe" are ended by their process ids.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "tests/e2e/ProcessHarness.h"
#include "tests/support/TestSupport.h"

using namespace std::chrono_literals;
using testsupport::PathExists;
using testsupport::ReadFile;
namespace fs = std::filesystem;

namespace {

constexpr auto kWindowTimeout = 20s;
constexpr auto kUpdateTimeout = 60s;
constexpr auto kClickInterval = 700ms;

struct Rect {
    int x = 0;
    int y = 0;
    int wide = 0;
    int tall = 0;
};

// Waits until the condition holds; false after the deadline.
template <typename Condition>
bool WaitUntil(Condition condition, e2e::Clock::duration timeout) {
    auto deadline = e2e::Clock::now() + timeout;
    while (!condition()) {
        if (e2e::Clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(100ms);
    }
    return true;
}

class UpdaterWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(access("/usr/bin/xdotool", X_OK), 0) << "xdotool is needed (scripts install it)";
        ASSERT_TRUE(m_x.Start()) << "Xvfb did not start";
        fs::create_directories(m_root.File("releases"));
    }

    void TearDown() override {
        m_updater.Stop();
        m_game.Stop();
        if (HasFailure()) {
            ADD_FAILURE() << "updater output:\n"
                          << ReadFile(m_root.File("updater.log")) << "\nrelease server log:\n"
                          << ReadFile(m_root.File("server.log"));
        }
    }

    // The demo folder served at the given rate; the updater is not started.
    void PrepareDemo(unsigned rate = 0) {
        ASSERT_TRUE(m_server.Start(m_root.File("releases"), m_root.File("server.log"), rate));
        ASSERT_TRUE(e2e::MakeDemoFolder(m_root.Path(), m_server.Port(), m_demo));
    }

    void StartUpdater() {
        ASSERT_TRUE(m_updater.Start({m_demo.Game() + "/updater"}, Environment(), m_demo.Game(),
                                    m_root.File("updater.log")));
    }

    // The demo folder, the updater started in it and its window found.
    void OpenWindow(unsigned rate = 0) {
        PrepareDemo(rate);
        StartUpdater();
        ASSERT_TRUE(FindReadyWindow()) << "the updater window did not appear";
    }

    // The window maps before its first layout pass fetches the manifest and
    // fills the branch list; a click before then could meet an empty window.
    bool FindReadyWindow() {
        if (!FindWindow()) {
            return false;
        }
        bool fetched = WaitUntil(
            [&] { return ReadFile(m_root.File("server.log")).find("/manifest.json -> 200") != std::string::npos; },
            kWindowTimeout);
        std::this_thread::sleep_for(500ms);
        return fetched;
    }

    std::vector<std::string> Environment() const {
        return e2e::EnvironmentWith({"DISPLAY=" + m_x.Display(), "SDL_VIDEODRIVER=x11"});
    }

    int Xdotool(const std::vector<std::string>& arguments, std::string* output = nullptr) {
        return m_x.Xdotool(arguments, output);
    }

    // The visible native windows of the updater with their geometry.
    std::vector<std::pair<std::string, Rect>> Windows() {
        std::string ids;
        Xdotool({"search", "--onlyvisible", "--pid", std::to_string(m_updater.Pid())}, &ids);
        std::vector<std::pair<std::string, Rect>> windows;
        std::istringstream stream(ids);
        for (std::string id; stream >> id;) {
            std::string shell;
            if (Xdotool({"getwindowgeometry", "--shell", id}, &shell) != 0) {
                continue;
            }
            Rect rect;
            std::istringstream lines(shell);
            for (std::string line; std::getline(lines, line);) {
                int* field = line.rfind("X=", 0) == 0        ? &rect.x
                             : line.rfind("Y=", 0) == 0      ? &rect.y
                             : line.rfind("WIDTH=", 0) == 0  ? &rect.wide
                             : line.rfind("HEIGHT=", 0) == 0 ? &rect.tall
                                                             : nullptr;
                if (field) {
                    *field = std::atoi(line.c_str() + line.find('=') + 1);
                }
            }
            windows.emplace_back(id, rect);
        }
        return windows;
    }

    // The frame's native window is the one of the frame's size.
    bool FindWindow() {
        Rect size = Layout("CUpdaterFrame");
        return WaitUntil(
            [&] {
                for (const auto& [id, rect] : Windows()) {
                    if (rect.wide == size.wide && rect.tall == size.tall) {
                        m_frame = rect;
                        return true;
                    }
                }
                return !m_updater.Running();
            },
            kWindowTimeout) &&
               m_updater.Running();
    }

    // Where the layout file places a control inside the frame.
    Rect Layout(const std::string& control) {
        std::string output;
        EXPECT_EQ(e2e::Run({"/bin/sh", UPD_SOURCE_DIR "/scripts/demo/layout_rect.sh",
                            m_demo.Game() + "/Updater/UpdaterFrame.res", control},
                           &output),
                  0)
            << control;
        Rect rect;
        std::istringstream(output) >> rect.x >> rect.y >> rect.wide >> rect.tall;
        return rect;
    }

    // Clicks are kept apart by more than the double-click time, as a person
    // reading the window between them would: a second press within it is a
    // double press, which a button does not take as a click.
    bool ClickAt(int x, int y) {
        std::this_thread::sleep_until(m_lastClick + kClickInterval);
        bool clicked =
            Xdotool({"mousemove", std::to_string(x), std::to_string(y)}) == 0 && Xdotool({"click", "1"}) == 0;
        m_lastClick = e2e::Clock::now();
        return clicked;
    }

    bool Click(const std::string& control) {
        Rect rect = Layout(control);
        return ClickAt(m_frame.x + rect.x + rect.wide / 2, m_frame.y + rect.y + rect.tall / 2);
    }

    // The close button sits at the right end of the frame's title bar.
    bool ClickClose() { return ClickAt(m_frame.x + m_frame.wide - 20, m_frame.y + 14); }

    // What the X server shows of a control: RGB bytes, row by row.
    std::string Pixels(const std::string& control) {
        Rect rect = Layout(control);
        std::string file = m_root.File("capture.rgb");
        std::string geometry = std::to_string(rect.wide) + "x" + std::to_string(rect.tall) + "+" +
                               std::to_string(m_frame.x + rect.x) + "+" + std::to_string(m_frame.y + rect.y);
        if (e2e::Run({"/usr/bin/import", "-display", m_x.Display(), "-window", "root", "-crop", geometry, "+repage",
                      "-depth", "8", "rgb:" + file}) != 0) {
            return {};
        }
        return ReadFile(file);
    }

    static bool Shows(const std::string& rgb, unsigned char red, unsigned char green, unsigned char blue) {
        for (std::size_t at = 0; at + 2 < rgb.size(); at += 3) {
            if (static_cast<unsigned char>(rgb[at]) == red && static_cast<unsigned char>(rgb[at + 1]) == green &&
                static_cast<unsigned char>(rgb[at + 2]) == blue) {
                return true;
            }
        }
        return false;
    }

    // The failure colour of the progress bar.
    bool BarIsRed() { return Shows(Pixels("UpdateProgress"), 160, 0, 0); }

    // Opens the branch list under the combo box and clicks its row-th row
    // of rows; the list is the one window that opens.
    bool PickBranch(int row, int rows) {
        std::size_t before = Windows().size();
        if (!Click("BranchComboBox")) {
            return false;
        }
        Rect list;
        bool opened = WaitUntil(
            [&] {
                for (const auto& [id, rect] : Windows()) {
                    if (rect.wide != m_frame.wide || rect.tall != m_frame.tall) {
                        list = rect;
                        return Windows().size() > before;
                    }
                }
                return false;
            },
            10s);
        return opened && ClickAt(list.x + list.wide / 2, list.y + list.tall * (2 * row + 1) / (2 * rows));
    }

    int ArchiveRequests() {
        std::string log = ReadFile(m_root.File("server.log"));
        int count = 0;
        for (std::size_t at = 0; (at = log.find(".zip ->", at)) != std::string::npos; ++at) {
            ++count;
        }
        return count;
    }

    std::string Game(const std::string& relative) const { return m_demo.Game() + "/" + relative; }

    testsupport::TempDir m_root;
    e2e::XServer m_x;
    e2e::ReleaseServer m_server;
    e2e::DemoFolder m_demo;
    e2e::Process m_updater;
    e2e::Process m_game;
    Rect m_frame;
    e2e::Clock::time_point m_lastClick;
};

TEST_F(UpdaterWindowTest, UpdateButtonInstallsTheSavedBranchAndCleansUp) {
    OpenWindow();
    ASSERT_TRUE(Click("UpdateButton"));
    ASSERT_TRUE(WaitUntil([&] { return PathExists(Game("qlm.branch")); }, kUpdateTimeout)) << "no update completed";
    EXPECT_EQ(ReadFile(Game("qlm.branch")), "plus");
    EXPECT_EQ(e2e::ReportedVersion(m_demo.Game()), "1.5.0");
    EXPECT_EQ(ReadFile(Game("quillmere/notes.txt")), "Quillmere 1.5.0 (plus)\n");
    EXPECT_TRUE(PathExists(Game("quillmere/maps/harbour.map")));
    EXPECT_TRUE(WaitUntil([&] { return !PathExists(Game("quillmere-plus-1.5.0.zip")); }, 5s))
        << "the archive is removed";
    EXPECT_EQ(ArchiveRequests(), 1);

    // Back to the versions, then closing while idle ends the run normally.
    ASSERT_TRUE(Click("UpdateButton"));
    ASSERT_TRUE(ClickClose());
    EXPECT_EQ(m_updater.Wait(10s), 0);
}

TEST_F(UpdaterWindowTest, RunningGameFromTheFolderRefusesTheUpdate) {
    PrepareDemo();
    // A running executable named "hl.exe" from the game folder: the kernel
    // refuses to open it for writing, as the game's lock would.
    fs::copy_file("/bin/sleep", Game("hl.exe"));
    ASSERT_TRUE(m_game.Start({Game("hl.exe"), "60"}, e2e::EnvironmentWith({}), m_demo.Game(), "/dev/null"));
    StartUpdater();
    ASSERT_TRUE(FindReadyWindow());
    ASSERT_TRUE(Click("UpdateButton"));
    std::this_thread::sleep_for(2s);
    EXPECT_EQ(ArchiveRequests(), 0) << "nothing is downloaded";
    EXPECT_FALSE(PathExists(Game("qlm.branch")));
    EXPECT_EQ(e2e::ReportedVersion(m_demo.Game()), "1.4.2");

    // Once the game has ended, back to the versions and the same button
    // updates: the refusal was the guard's, not a click that went astray.
    m_game.Stop();
    ASSERT_TRUE(Click("UpdateButton"));
    ASSERT_TRUE(Click("UpdateButton"));
    EXPECT_TRUE(WaitUntil([&] { return PathExists(Game("qlm.branch")); }, kUpdateTimeout));
    EXPECT_EQ(ArchiveRequests(), 1);
}

TEST_F(UpdaterWindowTest, ChangelogButtonOpensOneWindowBesideTheFrame) {
    OpenWindow();
    std::size_t before = Windows().size();
    ASSERT_TRUE(Click("ChangelogButton"));
    ASSERT_TRUE(WaitUntil([&] { return Windows().size() == before + 1; }, 10s)) << "no changelog window";
    // A second press brings the same window forward instead of a new one.
    ASSERT_TRUE(Click("ChangelogButton"));
    std::this_thread::sleep_for(1s);
    EXPECT_EQ(Windows().size(), before + 1);
}

TEST_F(UpdaterWindowTest, ClosingWhileIdleEndsWithExitZero) {
    OpenWindow();
    ASSERT_TRUE(ClickClose());
    EXPECT_EQ(m_updater.Wait(10s), 0);
    EXPECT_EQ(ArchiveRequests(), 0);
}

TEST_F(UpdaterWindowTest, ClosingDuringASlowDownloadAsksAndOkEndsAfterTheJob) {
    OpenWindow(200);
    std::size_t idleWindows = Windows().size();
    ASSERT_TRUE(Click("UpdateButton"));
    // The server logs a request only once it has been answered, so the
    // growing archive is what shows the download has begun.
    ASSERT_TRUE(WaitUntil([&] { return PathExists(Game("quillmere-plus-1.5.0.zip")); }, 10s))
        << "the download did not begin";
    ASSERT_TRUE(ClickClose());
    ASSERT_TRUE(WaitUntil([&] { return Windows().size() == idleWindows + 1; }, 10s)) << "no confirmation";

    // Cancel (Escape) only closes the box; the download goes on.
    ASSERT_EQ(Xdotool({"key", "Escape"}), 0);
    ASSERT_TRUE(WaitUntil([&] { return Windows().size() == idleWindows; }, 10s)) << "the box stayed";
    EXPECT_TRUE(m_updater.Running());

    ASSERT_TRUE(ClickClose());
    ASSERT_TRUE(WaitUntil([&] { return Windows().size() == idleWindows + 1; }, 10s)) << "no confirmation";
    ASSERT_EQ(Xdotool({"key", "Return"}), 0);
    EXPECT_EQ(m_updater.Wait(kUpdateTimeout), 0);
    // The process ended only after the download job had written the whole
    // archive; nothing was unpacked from it.
    EXPECT_EQ(fs::file_size(Game("quillmere-plus-1.5.0.zip")),
              fs::file_size(m_demo.Releases() + "/plus/quillmere-plus-1.5.0.zip"));
    EXPECT_EQ(e2e::ReportedVersion(m_demo.Game()), "1.4.2");
}

// The X server going away mid-run (a crash, the session closed) ends the
// updater with status 1 instead of leaving it spinning on a dead connection.
TEST_F(UpdaterWindowTest, LosingTheDisplayEndsTheRun) {
    OpenWindow();
    m_x.Stop();
    EXPECT_EQ(m_updater.Wait(10s), 1);
    EXPECT_NE(ReadFile(m_root.File("updater.log")).find("updvgui2: lost the connection to the display"),
              std::string::npos);
}

// An error status is delivered like any other body, so a missing archive
// fails at unpacking what the server sent in its place.
TEST_F(UpdaterWindowTest, FailedUpdateShowsRedAndTheNextAttemptStartsClean) {
    PrepareDemo();
    std::string served = m_demo.Releases() + "/plus/quillmere-plus-1.5.0.zip";
    std::string kept = m_root.File("kept.zip");
    fs::rename(served, kept);
    StartUpdater();
    ASSERT_TRUE(FindReadyWindow());
    std::string idleVersions = Pixels("CurrentVersionLabel");
    ASSERT_FALSE(idleVersions.empty());

    ASSERT_TRUE(Click("UpdateButton"));
    ASSERT_TRUE(WaitUntil([&] { return BarIsRed(); }, kUpdateTimeout)) << "the failure was not shown in red";
    EXPECT_NE(ReadFile(m_root.File("server.log")).find("quillmere-plus-1.5.0.zip -> 404"), std::string::npos);
    EXPECT_FALSE(PathExists(Game("qlm.branch")));
    EXPECT_EQ(e2e::ReportedVersion(m_demo.Game()), "1.4.2");
    EXPECT_EQ(ReadFile(Game("quillmere/notes.txt")), "Quillmere 1.4.2\n");
    EXPECT_TRUE(PathExists(Game("quillmere-plus-1.5.0.zip"))) << "what failed to unpack stays until the next try";

    // The button now only returns to the versions; with the archive served
    // again the same button updates, replacing what the failed try left.
    ASSERT_TRUE(Click("UpdateButton"));
    ASSERT_TRUE(WaitUntil([&] { return Pixels("CurrentVersionLabel") == idleVersions; }, 10s))
        << "the versions did not come back";
    fs::rename(kept, served);
    ASSERT_TRUE(Click("UpdateButton"));
    ASSERT_TRUE(WaitUntil([&] { return PathExists(Game("qlm.branch")); }, kUpdateTimeout)) << "no update completed";
    EXPECT_EQ(ArchiveRequests(), 2);
    EXPECT_EQ(e2e::ReportedVersion(m_demo.Game()), "1.5.0");
    EXPECT_TRUE(WaitUntil([&] { return !PathExists(Game("quillmere-plus-1.5.0.zip")); }, 5s));
    // Red stays for the rest of the run, through a successful update too.
    EXPECT_TRUE(BarIsRed());

    ASSERT_TRUE(Click("UpdateButton"));
    EXPECT_TRUE(WaitUntil([&] { return Pixels("CurrentVersionLabel") != idleVersions; }, 10s))
        << "the installed version shown did not change";
}

TEST_F(UpdaterWindowTest, BranchPickedFromTheListIsTheOneInstalled) {
    OpenWindow();
    std::string plusOffer = Pixels("RemoteVersionLabel");
    ASSERT_FALSE(plusOffer.empty());
    ASSERT_TRUE(PickBranch(1, 2));
    ASSERT_TRUE(WaitUntil([&] { return Pixels("RemoteVersionLabel") != plusOffer; }, 10s))
        << "the offered version did not change";
    // Picking is not installing: nothing is saved before an update.
    EXPECT_FALSE(PathExists(Game("qlm.branch")));

    ASSERT_TRUE(Click("UpdateButton"));
    ASSERT_TRUE(WaitUntil([&] { return PathExists(Game("qlm.branch")); }, kUpdateTimeout)) << "no update completed";
    EXPECT_EQ(ReadFile(Game("qlm.branch")), "beta");
    EXPECT_EQ(e2e::ReportedVersion(m_demo.Game()), "1.6.0-beta");
    EXPECT_TRUE(PathExists(Game("quillmere/maps/beta_arena.map")));
    EXPECT_NE(ReadFile(m_root.File("server.log")).find("quillmere-beta-1.6.0-beta.zip -> 200"), std::string::npos);

    // Back in the idle view and back on "plus": the offer is the first
    // branch's again.
    ASSERT_TRUE(Click("UpdateButton"));
    ASSERT_TRUE(PickBranch(0, 2));
    EXPECT_TRUE(WaitUntil([&] { return Pixels("RemoteVersionLabel") == plusOffer; }, 10s));
}

// A manifest that cannot be had ends the run with its box and exit status 1;
// the box is dismissed as a person would.
struct ManifestFailure {
    const char* name;
    const char* manifestPath;  // on the release server; empty: a closed port
    const char* text;
};

void PrintTo(const ManifestFailure& failure, std::ostream* stream) { *stream << failure.name; }

class ManifestFailureTest : public UpdaterWindowTest, public ::testing::WithParamInterface<ManifestFailure> {};

TEST_P(ManifestFailureTest, EndsWithItsTextAndExitOne) {
    PrepareDemo();
    std::string uri = *GetParam().manifestPath ? m_server.Url(GetParam().manifestPath) : "http://127.0.0.1:1/m.json";
    std::ofstream(Game("qlm.uri")) << uri << "\n";
    std::ofstream(m_root.File("releases/broken.json")) << "{\"branches\": [";
    StartUpdater();
    int status = -1;
    ASSERT_TRUE(WaitUntil(
        [&] {
            // Every message box is answered with Return until the run ends.
            std::string ids;
            Xdotool({"search", "--onlyvisible", "--name", "^Updater$"}, &ids);
            std::istringstream stream(ids);
            for (std::string id; stream >> id;) {
                Xdotool({"windowfocus", id});
                Xdotool({"key", "--window", id, "Return"});
            }
            if (!m_updater.Running()) {
                status = m_updater.Wait(1s);
                return true;
            }
            return false;
        },
        kWindowTimeout));
    EXPECT_EQ(status, 1);
    EXPECT_NE(ReadFile(m_root.File("updater.log")).find(std::string("Updater: ") + GetParam().text),
              std::string::npos);
    EXPECT_EQ(ArchiveRequests(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Updater, ManifestFailureTest,
    ::testing::Values(ManifestFailure{"Unreachable", "", "Failed to get update info."},
                      ManifestFailure{"NotFoundPage", "/missing.json", "Failed to get JSON for update data. Exiting..."},
                      ManifestFailure{"Truncated", "/broken.json", "Failed to get JSON for update data. Exiting..."}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
