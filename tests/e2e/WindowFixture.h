// The real updater in a demo game folder on an X server of the test's own,
// worked with xdotool as a person would: controls are found through the
// window's layout file and the position of its native window, what the
// window shows is read from the X server's pixels, and what the updater did
// is read from the game folder, the release server's log and the exit
// status. Every wait has a deadline; the X server, the release server, the
// updater and any "hl.exe" are ended by their process ids.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/e2e/ProcessHarness.h"
#include "tests/support/TestSupport.h"
#include "tests/support/XWindows.h"

namespace e2e {

using namespace std::chrono_literals;

using Rect = testproc::WindowRect;
using Window = testproc::NativeWindow;
using testproc::WaitUntil;

class WindowTest : public ::testing::Test {
protected:
    static constexpr auto kWindowTimeout = 20s;
    static constexpr auto kUpdateTimeout = 60s;
    // Slow enough that an update still runs when the test acts during it.
    static constexpr unsigned kSlowRate = 200;

    void SetUp() override;
    void TearDown() override;

    // The folder the demo is laid out in; the test's own by default.
    virtual std::string DemoRoot() { return m_root.Path(); }

    // The demo folder served at the given rate; the updater is not started.
    void PrepareDemo(unsigned rate = 0);
    void StartUpdater();
    // The demo folder, the updater started in it and its window ready.
    void OpenWindow(unsigned rate = 0);
    // The frame's native window has appeared (before the manifest is in).
    bool FindWindow();
    // ... and the manifest has been fetched and the branch list filled.
    bool FindReadyWindow();

    std::vector<std::string> Environment() const;
    int Xdotool(const std::vector<std::string>& arguments, std::string* output = nullptr);
    // The visible native windows of the updater, those whose title matches
    // the pattern when one is given.
    std::vector<Window> Windows(const std::string& titlePattern = {}) {
        return testproc::VisibleWindows(m_x, m_updater.Pid(), titlePattern);
    }
    // The first window that is not the frame, once one is open.
    bool WaitForOtherWindow(Rect& window);
    bool OnlyTheFrameLeft();

    // Where the layout file places a control inside the frame.
    Rect Layout(const std::string& control);
    bool ClickAt(int x, int y);
    bool Click(const std::string& control);
    // The close button sits at the right end of a title bar.
    bool ClickClose(const Rect& window);
    bool ClickClose() { return ClickClose(m_frame); }
    bool Key(const char* key);

    // What the X server shows of a rectangle of the screen or of a control:
    // RGB bytes, row by row.
    std::string ScreenPixels(const Rect& rect) { return testproc::CaptureRgb(m_x, rect); }
    std::string Pixels(const std::string& control) { return ScreenPixels(OnScreen(Layout(control))); }
    Rect OnScreen(const Rect& control) const {
        return {m_frame.x + control.x, m_frame.y + control.y, control.wide, control.tall};
    }
    // Text drawn on a plain background: more than one colour.
    static bool HasInk(const std::string& rgb);
    // The failure colour of the progress bar.
    bool BarIsRed() { return testproc::ShowsColour(Pixels("UpdateProgress"), 160, 0, 0); }
    // Kept for a person to look at when UPD_KEEP_SCREENSHOT_DIR names a folder.
    void KeepScreenshot(const char* name);

    // Opens the branch list under the combo box and clicks its row-th row
    // of rows.
    bool PickBranch(int row, int rows);

    // How often the release server's log holds the entry.
    int ServerLogCount(const std::string& entry);
    int ArchiveRequests() { return ServerLogCount(".zip ->"); }
    // Manifests served whole, with their signature when the game folder
    // holds the publisher's key.
    int ManifestFetchesServed();
    bool DownloadBegun() { return testsupport::PathExists(Game(".qlm-download.zip")); }
    std::string Game(const std::string& relative) const { return m_demo.Game() + "/" + relative; }
    // Nothing of the new release reached the game folder.
    void ExpectGameUntouched();

    const TargetSystem* m_system = &ThisSystem();
    testsupport::TempDir m_root;
    XServer m_x;
    ReleaseServer m_server;
    DemoFolder m_demo;
    Process m_updater;
    Process m_game;
    Rect m_frame;
    Clock::time_point m_lastClick;
    int m_manifestsServed = 0;  // before the updater started
};

}  // namespace e2e
