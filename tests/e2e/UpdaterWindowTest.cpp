// The whole update through the real updater window: installing, the
// changelog, closing and quitting during a download, signals, losing the
// display, a failed update, an archive changed after signing, picking a
// branch, archive addresses that name game files, and a manifest that
// cannot be had or was changed after signing.
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>

#include "tests/e2e/WindowFixture.h"

using namespace std::chrono_literals;
using e2e::WaitUntil;
using testsupport::PathExists;
using testsupport::ReadFile;
namespace fs = std::filesystem;

namespace {

class UpdaterWindowTest : public e2e::WindowTest {
protected:
    // The two buttons as the X server shows them: the focus rectangle is
    // drawn inside the focused one.
    std::string ButtonPixels() {
        e2e::Rect update = Layout("UpdateButton");
        e2e::Rect changelog = Layout("ChangelogButton");
        return ScreenPixels({m_frame.x + update.x, m_frame.y + update.y, changelog.x + changelog.wide - update.x,
                             update.tall});
    }

    // The "plus" branch is offered under the given last part of its address,
    // signed by the publisher; its hash is that of the file of that name
    // when the releases hold one, else the real archive's.
    void OfferPlusAs(const std::string& name) {
        std::string manifest = m_demo.Releases() + "/manifest.json";
        std::string text = ReadFile(manifest);
        const std::string archive = "quillmere-plus-1.5.0.zip";
        std::size_t at = text.find(archive);
        ASSERT_NE(at, std::string::npos);
        testsupport::WriteFile(manifest, text.replace(at, archive.size(), name));
        ASSERT_TRUE(e2e::SignDemoReleases(m_demo));
    }

    void ExpectTabMovesTheFocus(const char* after) {
        std::string before = ButtonPixels();
        ASSERT_FALSE(before.empty());
        ASSERT_TRUE(Key("Tab"));
        EXPECT_NE(ButtonPixels(), before) << "Tab did nothing after " << after;
    }
};

TEST_F(UpdaterWindowTest, UpdateButtonInstallsTheSavedBranchAndCleansUp) {
    OpenWindow();
    ASSERT_TRUE(Click("UpdateButton"));
    ASSERT_TRUE(WaitUntil([&] { return PathExists(Game("qlm.branch")); }, kUpdateTimeout)) << "no update completed";
    EXPECT_EQ(ReadFile(Game("qlm.branch")), "plus");
    EXPECT_EQ(e2e::ReportedVersion(m_demo.Game()), "1.5.0");
    EXPECT_EQ(ReadFile(Game("quillmere/notes.txt")), "Quillmere 1.5.0 (plus)\n");
    EXPECT_TRUE(PathExists(Game("quillmere/maps/harbour.map")));
    EXPECT_TRUE(WaitUntil([&] { return !PathExists(Game(".qlm-download.zip")); }, 5s))
        << "the archive is removed";
    EXPECT_EQ(ArchiveRequests(), 1);

    // Back to the versions, then closing while idle ends the run normally.
    ASSERT_TRUE(Click("UpdateButton"));
    ASSERT_TRUE(ClickClose());
    EXPECT_EQ(m_updater.Wait(10s), 0);
}

// On the test's 1024 by 768 screen the changelog does not fit beside the
// frame; it must still lie wholly on the screen with its close button in
// reach. Native windows carry their titles, so a window list shows names.
// After a popup closes, the frame's keys work again without a click.
TEST_F(UpdaterWindowTest, ChangelogOpensOnceOnTheScreenAndGivesTheKeysBack) {
    OpenWindow();
    EXPECT_FALSE(Windows("^Quillmere Updater$").empty()) << "the frame's native window is named";
    ASSERT_TRUE(Click("ChangelogButton"));
    e2e::Rect changelog;
    ASSERT_TRUE(WaitForOtherWindow(changelog)) << "no changelog window";
    KeepScreenshot("changelog-on-screen.png");
    EXPECT_GE(changelog.x, 0);
    EXPECT_GE(changelog.y, 0);
    EXPECT_LE(changelog.x + changelog.wide, 1024) << "the close button must be reachable";
    EXPECT_LE(changelog.y + changelog.tall, 768);
    EXPECT_FALSE(Windows("^Changelog$").empty()) << "the changelog's native window is named";
    // A second press brings the same window forward instead of a new one.
    ASSERT_TRUE(Click("ChangelogButton"));
    std::this_thread::sleep_for(1s);
    EXPECT_EQ(Windows().size(), 2u);

    ASSERT_TRUE(ClickClose(changelog));
    ASSERT_TRUE(OnlyTheFrameLeft());
    ExpectTabMovesTheFocus("the changelog closed");
    // Back to the changelog button, and Enter presses it.
    ASSERT_TRUE(Key("shift+Tab"));
    ASSERT_TRUE(Key("Return"));
    EXPECT_TRUE(WaitForOtherWindow(changelog)) << "Enter on the focused changelog button did nothing";
}

TEST_F(UpdaterWindowTest, CancelledQuitBoxGivesTheKeysBackToTheFrame) {
    OpenWindow(kSlowRate);
    ASSERT_TRUE(Click("UpdateButton"));
    ASSERT_TRUE(WaitUntil([&] { return DownloadBegun(); }, 10s)) << "the download did not begin";
    ASSERT_TRUE(ClickClose());
    e2e::Rect box;
    ASSERT_TRUE(WaitForOtherWindow(box)) << "no quit box during the update";
    ASSERT_TRUE(Key("Escape"));
    ASSERT_TRUE(OnlyTheFrameLeft()) << "Escape cancels the quit box";
    EXPECT_TRUE(m_updater.Running());
    ExpectTabMovesTheFocus("the quit box was cancelled");
}

TEST_F(UpdaterWindowTest, ClosingWhileIdleEndsWithExitZero) {
    OpenWindow();
    ASSERT_TRUE(ClickClose());
    EXPECT_EQ(m_updater.Wait(10s), 0);
    EXPECT_EQ(ArchiveRequests(), 0);
}

TEST_F(UpdaterWindowTest, ClosingDuringASlowDownloadAsksAndOkEndsAtOnce) {
    OpenWindow(200);
    std::size_t idleWindows = Windows().size();
    ASSERT_TRUE(Click("UpdateButton"));
    ASSERT_TRUE(WaitUntil([&] { return DownloadBegun(); }, 10s)) << "the download did not begin";
    ASSERT_TRUE(ClickClose());
    ASSERT_TRUE(WaitUntil([&] { return Windows().size() == idleWindows + 1; }, 10s)) << "no confirmation";

    // Cancel (Escape) only closes the box; the download goes on.
    ASSERT_EQ(Xdotool({"key", "Escape"}), 0);
    ASSERT_TRUE(WaitUntil([&] { return Windows().size() == idleWindows; }, 10s)) << "the box stayed";
    EXPECT_TRUE(m_updater.Running());

    ASSERT_TRUE(ClickClose());
    ASSERT_TRUE(WaitUntil([&] { return Windows().size() == idleWindows + 1; }, 10s)) << "no confirmation";
    ASSERT_EQ(Xdotool({"key", "Return"}), 0);
    // The archive would take a minute at this rate: the answer stops it.
    auto answered = e2e::Clock::now();
    EXPECT_EQ(m_updater.Wait(10s), 0);
    EXPECT_LT(e2e::Clock::now() - answered, 5s);
    ExpectGameUntouched();
}

// SIGTERM closes the window as its close button would, which asks about
// the running download; a second one ends the run. Both stop the download
// before the modules go, so the process ends cleanly and at once.
TEST_F(UpdaterWindowTest, TwoSignalsDuringADownloadEndTheRunCleanly) {
    OpenWindow(200);
    ASSERT_TRUE(Click("UpdateButton"));
    ASSERT_TRUE(WaitUntil([&] { return DownloadBegun(); }, 10s)) << "the download did not begin";
    ASSERT_EQ(kill(m_updater.Pid(), SIGTERM), 0);
    std::this_thread::sleep_for(300ms);
    ASSERT_EQ(kill(m_updater.Pid(), SIGTERM), 0);
    auto signalled = e2e::Clock::now();
    EXPECT_EQ(m_updater.Wait(10s), 0);
    EXPECT_LT(e2e::Clock::now() - signalled, 5s);
    ExpectGameUntouched();
}

// A manifest that trickles in keeps the window painting with its checking
// status, and a signal ends the run as a failed fetch, at once.
TEST_F(UpdaterWindowTest, ASignalWhileTheManifestTricklesEndsAsAFailedFetch) {
    PrepareDemo(5);
    StartUpdater();
    ASSERT_TRUE(FindWindow()) << "no window while the manifest is fetched";
    std::this_thread::sleep_for(1s);
    EXPECT_TRUE(HasInk(Pixels("StatusLabel"))) << "the status line says what happens";
    EXPECT_TRUE(m_updater.Running());
    ASSERT_EQ(kill(m_updater.Pid(), SIGTERM), 0);
    auto signalled = e2e::Clock::now();
    EXPECT_EQ(m_updater.Wait(10s), 1);
    EXPECT_LT(e2e::Clock::now() - signalled, 5s);
    EXPECT_NE(ReadFile(m_root.File("updater.log")).find("Updater: Failed to get update info."), std::string::npos);
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
// fails the hash check of what the server sent in its place, which is
// removed.
TEST_F(UpdaterWindowTest, FailedUpdateShowsRedAndTheNextAttemptStartsClean) {
    PrepareDemo();
    std::string served = m_demo.Releases() + "/plus/quillmere-plus-1.5.0.zip";
    std::string kept = m_root.File("kept.zip");
    fs::rename(served, kept);
    StartUpdater();
    ASSERT_TRUE(FindReadyWindow());
    std::string idleVersions = Pixels("CurrentVersionLabel");
    ASSERT_FALSE(idleVersions.empty());
    std::string offerStatus = Pixels("StatusLabel");

    ASSERT_TRUE(Click("UpdateButton"));
    ASSERT_TRUE(WaitUntil([&] { return BarIsRed(); }, kUpdateTimeout)) << "the failure was not shown in red";
    EXPECT_NE(ReadFile(m_root.File("server.log")).find("quillmere-plus-1.5.0.zip -> 404"), std::string::npos);
    EXPECT_FALSE(PathExists(Game("qlm.branch")));
    EXPECT_EQ(e2e::ReportedVersion(m_demo.Game()), "1.4.2");
    EXPECT_EQ(ReadFile(Game("quillmere/notes.txt")), "Quillmere 1.4.2\n");
    EXPECT_TRUE(WaitUntil([&] { return !DownloadBegun(); }, 5s)) << "what failed its hash stayed";

    // The button now only returns to the versions; with the archive served
    // again the same button updates.
    ASSERT_TRUE(Click("UpdateButton"));
    ASSERT_TRUE(WaitUntil([&] { return Pixels("CurrentVersionLabel") == idleVersions; }, 10s))
        << "the versions did not come back";
    EXPECT_TRUE(WaitUntil([&] { return Pixels("StatusLabel") == offerStatus; }, 5s))
        << "the status line still offers the update";
    fs::rename(kept, served);
    ASSERT_TRUE(Click("UpdateButton"));
    ASSERT_TRUE(WaitUntil([&] { return PathExists(Game("qlm.branch")); }, kUpdateTimeout)) << "no update completed";
    EXPECT_EQ(ArchiveRequests(), 2);
    EXPECT_EQ(e2e::ReportedVersion(m_demo.Game()), "1.5.0");
    EXPECT_TRUE(WaitUntil([&] { return !PathExists(Game(".qlm-download.zip")); }, 5s));
    // Red stays for the rest of the run, through a successful update too.
    EXPECT_TRUE(BarIsRed());

    ASSERT_TRUE(Click("UpdateButton"));
    EXPECT_TRUE(WaitUntil([&] { return Pixels("CurrentVersionLabel") != idleVersions; }, 10s))
        << "the installed version shown did not change";
}

// The whole chain: the manifest verifies against the folder's key, but the
// archive the server sends differs from the signed hash in one byte.
TEST_F(UpdaterWindowTest, ArchiveChangedAfterSigningFailsInRedAndInstallsNothing) {
    PrepareDemo();
    std::string served = m_demo.Releases() + "/plus/quillmere-plus-1.5.0.zip";
    std::string archive = ReadFile(served);
    ASSERT_GT(archive.size(), 100u);
    archive[archive.size() / 2] ^= 0x01;
    testsupport::WriteFile(served, archive);
    StartUpdater();
    ASSERT_TRUE(FindReadyWindow());
    ASSERT_TRUE(Click("UpdateButton"));
    ASSERT_TRUE(WaitUntil([&] { return BarIsRed(); }, kUpdateTimeout)) << "the failure was not shown in red";
    EXPECT_EQ(ArchiveRequests(), 1);
    EXPECT_TRUE(WaitUntil([&] { return !DownloadBegun(); }, 5s)) << "what failed its hash stayed";
    ExpectGameUntouched();
    EXPECT_FALSE(PathExists(Game("quillmere/maps/harbour.map")));
    EXPECT_TRUE(m_updater.Running());
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

// The archive's address names it only on the window: a release whose
// address ends in the name of one of the game folder's own files leaves
// that file as it was.
TEST_F(UpdaterWindowTest, ReleaseAddressedAsTheUpdaterInstallsAndKeepsTheUpdater) {
    PrepareDemo();
    std::string updater = ReadFile(Game("updater"));
    fs::copy_file(m_demo.Releases() + "/plus/quillmere-plus-1.5.0.zip", m_demo.Releases() + "/plus/updater");
    OfferPlusAs("updater");
    StartUpdater();
    ASSERT_TRUE(FindReadyWindow());
    ASSERT_TRUE(Click("UpdateButton"));
    ASSERT_TRUE(WaitUntil([&] { return PathExists(Game("qlm.branch")); }, kUpdateTimeout)) << "no update completed";
    EXPECT_NE(ReadFile(m_root.File("server.log")).find("/plus/updater -> 200"), std::string::npos);
    EXPECT_EQ(e2e::ReportedVersion(m_demo.Game()), "1.5.0");
    EXPECT_TRUE(WaitUntil([&] { return !DownloadBegun(); }, 5s)) << "the archive stayed";
    EXPECT_TRUE(ReadFile(Game("updater")) == updater) << "the updater was replaced or removed";
    EXPECT_TRUE(m_updater.Running());
}

TEST_F(UpdaterWindowTest, MissingReleaseAddressedAsTheGameModuleLeavesTheModule) {
    PrepareDemo();
    std::string module = ReadFile(Game("FileSystem_Stdio.so"));
    OfferPlusAs("FileSystem_Stdio.so");
    StartUpdater();
    ASSERT_TRUE(FindReadyWindow());
    ASSERT_TRUE(Click("UpdateButton"));
    // The error page is saved under the private name, fails its hash and is
    // removed.
    ASSERT_TRUE(WaitUntil([&] { return BarIsRed(); }, kUpdateTimeout)) << "the failure was not shown in red";
    EXPECT_NE(ReadFile(m_root.File("server.log")).find("/plus/FileSystem_Stdio.so -> 404"), std::string::npos);
    EXPECT_TRUE(WaitUntil([&] { return !DownloadBegun(); }, 5s)) << "what failed its hash stayed";
    EXPECT_TRUE(ReadFile(Game("FileSystem_Stdio.so")) == module) << "the game module was replaced";
    ExpectGameUntouched();
}

// A manifest that cannot be had, or that is not the one the publisher
// signed, ends the run with its box and exit status 1; the box is dismissed
// as a person would.
struct ManifestFailure {
    const char* name;
    const char* manifestPath;  // on the release server; empty: a closed port
    bool publisherKey;         // the game folder keeps "qlm.pub"
    const char* text;
};

void PrintTo(const ManifestFailure& failure, std::ostream* stream) { *stream << failure.name; }

class ManifestFailureTest : public UpdaterWindowTest, public ::testing::WithParamInterface<ManifestFailure> {};

TEST_P(ManifestFailureTest, EndsWithItsTextAndExitOne) {
    PrepareDemo();
    std::string uri = *GetParam().manifestPath ? m_server.Url(GetParam().manifestPath) : "http://127.0.0.1:1/m.json";
    std::ofstream(Game("qlm.uri")) << uri << "\n";
    std::ofstream(m_root.File("releases/broken.json")) << "{\"branches\": [";
    // The signed manifest with one byte changed, beside its real signature.
    std::string manifest = ReadFile(m_demo.Releases() + "/manifest.json");
    std::size_t version = manifest.find("\"1.5.0\"");
    ASSERT_NE(version, std::string::npos);
    manifest[version + 5] = '1';
    testsupport::WriteFile(m_demo.Releases() + "/tampered.json", manifest);
    fs::copy_file(m_demo.Releases() + "/manifest.json.minisig", m_demo.Releases() + "/tampered.json.minisig");
    if (!GetParam().publisherKey) {
        ASSERT_TRUE(fs::remove(Game("qlm.pub")));
    }
    StartUpdater();
    int status = -1;
    ASSERT_TRUE(WaitUntil(
        [&] {
            // Every message box is answered with Return until the run ends.
            for (const e2e::Window& box : Windows("^Updater$")) {
                Xdotool({"windowfocus", box.id});
                Xdotool({"key", "Return"});
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
    ::testing::Values(
        ManifestFailure{"Unreachable", "", true, "Failed to get update info."},
        ManifestFailure{"NotFoundPage", "/missing.json", false, "Failed to get JSON for update data. Exiting..."},
        ManifestFailure{"Truncated", "/broken.json", false, "Failed to get JSON for update data. Exiting..."},
        ManifestFailure{"ChangedAfterSigning", "/tampered.json", true,
                        "Failed to verify update info.\n\nThe update information is not signed by the publisher. "
                        "Exiting..."}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
