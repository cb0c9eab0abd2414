#include "tests/e2e/WindowFixture.h"

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <sstream>

namespace e2e {

namespace {

using testsupport::ReadFile;

// Clicks are kept apart by more than the double-click time, as a person
// reading the window between them would: a second press within it is a
// double press, which a button does not take as a click.
constexpr auto kClickInterval = 700ms;
constexpr auto kKeySettle = 400ms;

}  // namespace

void WindowTest::SetUp() {
    ASSERT_EQ(access("/usr/bin/xdotool", X_OK), 0) << "xdotool is needed (scripts install it)";
    ASSERT_TRUE(m_x.Start()) << "Xvfb did not start";
}

void WindowTest::TearDown() {
    m_updater.Stop();
    m_game.Stop();
    if (HasFailure()) {
        ADD_FAILURE() << "updater output:\n"
                      << ReadFile(m_root.File("updater.log")) << "\nrelease server log:\n"
                      << ReadFile(m_root.File("server.log"));
    }
}

void WindowTest::PrepareDemo(unsigned rate) {
    std::string releases = DemoRoot() + "/releases";
    std::filesystem::create_directories(releases);
    ASSERT_TRUE(m_server.Start(releases, m_root.File("server.log"), rate));
    ASSERT_TRUE(MakeDemoFolder(DemoRoot(), m_server.Port(), m_demo, *m_system));
}

void WindowTest::StartUpdater() {
    m_manifestsServed = ManifestFetchesServed();
    ASSERT_TRUE(m_updater.Start(m_system->Command({Game(m_system->updater)}), Environment(), m_demo.Game(),
                                m_root.File("updater.log")));
}

void WindowTest::OpenWindow(unsigned rate) {
    PrepareDemo(rate);
    StartUpdater();
    ASSERT_TRUE(FindReadyWindow()) << "the updater window did not appear";
}

bool WindowTest::FindWindow() {
    Rect size = Layout("CUpdaterFrame");
    return WaitUntil(
               [&] {
                   for (const Window& window : Windows()) {
                       if (window.rect.wide == size.wide && window.rect.tall == size.tall) {
                           m_frame = window.rect;
                           return true;
                       }
                   }
                   return !m_updater.Running();
               },
               kWindowTimeout) &&
           m_updater.Running();
}

// The window maps before the manifest (and its signature) has arrived; a
// click before the branch list is filled could meet a window with nothing to
// choose.
bool WindowTest::FindReadyWindow() {
    if (!FindWindow()) {
        return false;
    }
    bool fetched = WaitUntil([&] { return ManifestFetchesServed() > m_manifestsServed; }, kWindowTimeout);
    // The window then fills its branch list and rewrites its texts on its
    // next frames, later on a loaded machine and under Wine: it is ready
    // once what it shows stays the same.
    std::string shown;
    bool settled = WaitUntil(
        [&] {
            std::this_thread::sleep_for(400ms);
            std::string now = ScreenPixels(m_frame);
            bool same = !now.empty() && now == shown;
            shown = now;
            return same;
        },
        10s);
    return fetched && settled;
}

std::vector<std::string> WindowTest::Environment() const {
    std::vector<std::string> changes{"DISPLAY=" + m_x.Display()};
    changes.insert(changes.end(), m_system->environment.begin(), m_system->environment.end());
    return EnvironmentWith(changes);
}

int WindowTest::Xdotool(const std::vector<std::string>& arguments, std::string* output) {
    return m_x.Xdotool(arguments, output);
}

bool WindowTest::WaitForOtherWindow(Rect& other) {
    return WaitUntil(
        [&] {
            for (const Window& window : Windows()) {
                if (window.rect.wide != m_frame.wide || window.rect.tall != m_frame.tall) {
                    other = window.rect;
                    return true;
                }
            }
            return false;
        },
        10s);
}

bool WindowTest::OnlyTheFrameLeft() {
    return WaitUntil([&] { return Windows().size() == 1; }, 10s);
}

Rect WindowTest::Layout(const std::string& control) {
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

bool WindowTest::ClickAt(int x, int y) {
    std::this_thread::sleep_until(m_lastClick + kClickInterval);
    bool clicked = Xdotool({"mousemove", std::to_string(x), std::to_string(y)}) == 0 && Xdotool({"click", "1"}) == 0;
    m_lastClick = Clock::now();
    return clicked;
}

bool WindowTest::Click(const std::string& control) {
    Rect rect = Layout(control);
    return ClickAt(m_frame.x + rect.x + rect.wide / 2, m_frame.y + rect.y + rect.tall / 2);
}

bool WindowTest::ClickClose(const Rect& window) { return ClickAt(window.x + window.wide - 20, window.y + 14); }

bool WindowTest::Key(const char* key) {
    bool sent = Xdotool({"key", key}) == 0;
    std::this_thread::sleep_for(kKeySettle);
    return sent;
}

bool WindowTest::HasInk(const std::string& rgb) {
    for (std::size_t at = 3; at + 2 < rgb.size(); at += 3) {
        if (rgb.compare(at, 3, rgb, 0, 3) != 0) {
            return true;
        }
    }
    return false;
}

void WindowTest::KeepScreenshot(const char* name) {
    if (const char* folder = std::getenv("UPD_KEEP_SCREENSHOT_DIR")) {
        e2e::Run({"/usr/bin/import", "-display", m_x.Display(), "-window", "root", std::string(folder) + "/" + name});
    }
}

bool WindowTest::PickBranch(int row, int rows) {
    if (!Click("BranchComboBox")) {
        return false;
    }
    Rect list;
    return WaitForOtherWindow(list) &&
           ClickAt(list.x + list.wide / 2, list.y + list.tall * (2 * row + 1) / (2 * rows));
}

int WindowTest::ServerLogCount(const std::string& entry) {
    std::string log = ReadFile(m_root.File("server.log"));
    int count = 0;
    for (std::size_t at = 0; (at = log.find(entry, at)) != std::string::npos; ++at) {
        ++count;
    }
    return count;
}

int WindowTest::ManifestFetchesServed() {
    int manifests = ServerLogCount("/manifest.json -> 200");
    if (!testsupport::PathExists(Game("qlm.pub"))) {
        return manifests;
    }
    return std::min(manifests, ServerLogCount("/manifest.json.minisig -> 200"));
}

void WindowTest::ExpectGameUntouched() {
    EXPECT_EQ(ReportedVersion(m_demo.Game(), *m_system), "1.4.2");
    EXPECT_EQ(ReadFile(Game("quillmere/notes.txt")), "Quillmere 1.4.2\n");
    EXPECT_FALSE(testsupport::PathExists(Game("qlm.branch")));
}

}  // namespace e2e
