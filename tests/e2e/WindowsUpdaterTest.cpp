// The Windows build's updater.exe through its real window under Wine:
// installing, picking a branch, the changelog, the quit question, a failed
// update, the game guard against a running game, member names as Windows
// archives carry them, and folders too long for the updater's buffers.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>

#include "tests/e2e/WineFixture.h"

using namespace std::chrono_literals;
using e2e::WaitUntil;
using testsupport::PathExists;
using testsupport::ReadFile;
namespace fs = std::filesystem;

namespace {

const char* const kRefusal =
    "Update cannot proceed.\n\nPossible reasons:\n - hl.exe is running from the same folder.\n"
    " - hl.exe is locked or in use.\n - No write permissions.";

class WindowsUpdaterTest : public e2e::WineWindowTest {
protected:
    bool UpdateCompletes() {
        return WaitUntil([&] { return PathExists(Game("qlm.branch")); }, kUpdateTimeout);
    }

    // Packs the "plus" release afresh from files below a folder, and signs
    // the manifest with its new size and hash.
    void RepackPlus(const std::string& folder) {
        std::string archive = m_demo.Releases() + "/plus/quillmere-plus-1.5.0.zip";
        fs::remove(archive);
        ASSERT_EQ(e2e::Run({"/bin/sh", "-c", "cd \"$0\" && zip -q -r -X \"$1\" .", folder, archive}), 0);
        ASSERT_TRUE(e2e::SignDemoReleases(m_demo));
    }
};

TEST_F(WindowsUpdaterTest, UpdateButtonInstallsTheBranchAndClosingEndsTheRun) {
    OpenWindow();
    EXPECT_FALSE(Windows("^Quillmere Updater$").empty()) << "the frame's native window is named";
    EXPECT_TRUE(HasInk(Pixels("CurrentVersionLabel")));
    EXPECT_TRUE(HasInk(Pixels("RemoteVersionLabel")));
    KeepScreenshot("windows-idle.png");
    ASSERT_TRUE(Click("UpdateButton"));
    ASSERT_TRUE(UpdateCompletes()) << "no update completed";
    EXPECT_EQ(ReadFile(Game("qlm.branch")), "plus");
    EXPECT_EQ(e2e::ReportedVersion(m_demo.Game(), *m_system), "1.5.0");
    EXPECT_EQ(ReadFile(Game("quillmere/notes.txt")), "Quillmere 1.5.0 (plus)\n");
    EXPECT_TRUE(PathExists(Game("quillmere/maps/harbour.map")));
    EXPECT_TRUE(WaitUntil([&] { return !DownloadBegun(); }, 5s)) << "the archive is removed";
    EXPECT_EQ(ArchiveRequests(), 1);
    KeepScreenshot("windows-updated.png");

    ASSERT_TRUE(Click("UpdateButton"));
    ASSERT_TRUE(ClickClose());
    EXPECT_EQ(m_updater.Wait(15s), 0);
}

// The same faces drawn by the same code: the idle window on Windows is the
// Linux build's to the pixel.
TEST_F(WindowsUpdaterTest, IdleWindowIsTheLinuxWindowToThePixel) {
    OpenWindow();
    std::string windows = ScreenPixels(m_frame);
    ASSERT_FALSE(windows.empty());
    m_updater.Stop();

    // The Linux demo folder, served the same releases: it trusts their key.
    std::string windowsKey = Game("qlm.pub");
    m_system = &e2e::ThisSystem();
    ASSERT_TRUE(e2e::MakeDemoFolder(m_root.File("linux"), m_server.Port(), m_demo));
    fs::copy_file(windowsKey, Game("qlm.pub"), fs::copy_options::overwrite_existing);
    StartUpdater();
    ASSERT_TRUE(FindReadyWindow());
    std::string linux = ScreenPixels(m_frame);
    ASSERT_EQ(linux.size(), windows.size()) << "the frames differ in size";
    std::size_t differing = 0;
    for (std::size_t at = 0; at < linux.size(); at += 3) {
        differing += linux.compare(at, 3, windows, at, 3) != 0;
    }
    EXPECT_EQ(differing, 0u) << "pixels that differ between the two systems' windows";
}

TEST_F(WindowsUpdaterTest, BranchPickedFromTheListIsTheOneInstalled) {
    OpenWindow();
    std::string plusOffer = Pixels("RemoteVersionLabel");
    ASSERT_TRUE(PickBranch(1, 2));
    ASSERT_TRUE(WaitUntil([&] { return Pixels("RemoteVersionLabel") != plusOffer; }, 10s))
        << "the offered version did not change";
    ASSERT_TRUE(Click("UpdateButton"));
    ASSERT_TRUE(UpdateCompletes()) << "no update completed";
    EXPECT_EQ(ReadFile(Game("qlm.branch")), "beta");
    EXPECT_EQ(e2e::ReportedVersion(m_demo.Game(), *m_system), "1.6.0-beta");
    EXPECT_TRUE(PathExists(Game("quillmere/maps/beta_arena.map")));
}

TEST_F(WindowsUpdaterTest, ChangelogOpensOnTheScreenAndCloses) {
    OpenWindow();
    ASSERT_TRUE(Click("ChangelogButton"));
    e2e::Rect changelog;
    ASSERT_TRUE(WaitForOtherWindow(changelog)) << "no changelog window";
    KeepScreenshot("windows-changelog.png");
    EXPECT_FALSE(Windows("^Changelog$").empty()) << "the changelog's native window is named";
    EXPECT_GE(changelog.x, 0);
    EXPECT_LE(changelog.x + changelog.wide, 1024);
    EXPECT_TRUE(HasInk(ScreenPixels({changelog.x + 20, changelog.y + 40, changelog.wide - 40, 40})));
    ASSERT_TRUE(ClickClose(changelog));
    EXPECT_TRUE(OnlyTheFrameLeft());
    EXPECT_TRUE(m_updater.Running());
}

TEST_F(WindowsUpdaterTest, ClosingDuringASlowDownloadAsksAndOkEndsAtOnce) {
    OpenWindow(kSlowRate);
    ASSERT_TRUE(Click("UpdateButton"));
    ASSERT_TRUE(WaitUntil([&] { return DownloadBegun(); }, 10s)) << "the download did not begin";
    ASSERT_TRUE(ClickClose());
    e2e::Rect box;
    ASSERT_TRUE(WaitForOtherWindow(box)) << "no quit question during the update";
    KeepScreenshot("windows-quit.png");
    ASSERT_TRUE(Key("Return"));
    auto answered = e2e::Clock::now();
    EXPECT_EQ(m_updater.Wait(15s), 0);
    EXPECT_LT(e2e::Clock::now() - answered, 8s);
    ExpectGameUntouched();
}

TEST_F(WindowsUpdaterTest, FailedUpdateShowsRedAndLeavesTheGame) {
    PrepareDemo();
    fs::remove(m_demo.Releases() + "/plus/quillmere-plus-1.5.0.zip");
    StartUpdater();
    ASSERT_TRUE(FindReadyWindow());
    ASSERT_TRUE(Click("UpdateButton"));
    ASSERT_TRUE(WaitUntil([&] { return BarIsRed(); }, kUpdateTimeout)) << "the failure was not shown in red";
    KeepScreenshot("windows-failed.png");
    ExpectGameUntouched();
    EXPECT_TRUE(WaitUntil([&] { return !DownloadBegun(); }, 5s)) << "the error page failed its hash and stayed";
}

// Names as archives made on Windows carry them: letters outside ASCII, and
// "\" between folders, which lands as a folder there.
TEST_F(WindowsUpdaterTest, MemberNamesWithOtherLettersAndBackslashesLandAsNamed) {
    PrepareDemo();
    std::string packing = m_root.File("packing");
    fs::create_directories(packing + "/quillmere/maps");
    fs::copy_file(UPD_WINDOWS_BUILD_DIR "/tests/update/fixtures/next/FileSystem_Stdio.dll",
                  packing + "/FileSystem_Stdio.dll");
    testsupport::WriteFile(packing + "/quillmere/maps/K\xC3\xBCste \xD0\x9C\xD0\xBE\xD1\x80\xD0\xB5.map", "coast");
    testsupport::WriteFile(packing + "/quillmere\\maps\\Stra\xC3\x9F" "e.map", "street");
    RepackPlus(packing);
    StartUpdater();
    ASSERT_TRUE(FindReadyWindow());
    ASSERT_TRUE(Click("UpdateButton"));
    ASSERT_TRUE(UpdateCompletes()) << "no update completed";
    EXPECT_EQ(ReadFile(Game("quillmere/maps/K\xC3\xBCste \xD0\x9C\xD0\xBE\xD1\x80\xD0\xB5.map")), "coast");
    EXPECT_EQ(ReadFile(Game("quillmere/maps/Stra\xC3\x9F" "e.map")), "street");
    EXPECT_EQ(e2e::ReportedVersion(m_demo.Game(), *m_system), "1.5.0");
}

// A running "hl.exe" from the game folder or one below it holds its file:
// the update is refused with the system's box and nothing is downloaded.
// One from another folder does not stop it.
struct RunningGame {
    const char* name;
    const char* at;  // relative to the game folder
    bool refused;
};

void PrintTo(const RunningGame& game, std::ostream* stream) { *stream << game.name; }

class WindowsGuardTest : public WindowsUpdaterTest, public ::testing::WithParamInterface<RunningGame> {};

TEST_P(WindowsGuardTest, RefusesOnlyAGameFromTheUpdatersFolder) {
    PrepareDemo();
    StartGame(GetParam().at);
    StartUpdater();
    ASSERT_TRUE(FindReadyWindow());
    ASSERT_TRUE(Click("UpdateButton"));
    if (GetParam().refused) {
        EXPECT_EQ(AnswerBox(20), std::string("Updater\n") + kRefusal);
        std::this_thread::sleep_for(1s);
        EXPECT_EQ(ArchiveRequests(), 0);
        EXPECT_FALSE(DownloadBegun());
        EXPECT_TRUE(m_updater.Running());
        ExpectGameUntouched();
    } else {
        ASSERT_TRUE(UpdateCompletes()) << "no update completed";
        EXPECT_EQ(e2e::ReportedVersion(m_demo.Game(), *m_system), "1.5.0");
    }
}

INSTANTIATE_TEST_SUITE_P(Windows, WindowsGuardTest,
                         ::testing::Values(RunningGame{"FromTheGameFolder", "hl.exe", true},
                                           RunningGame{"FromASubfolder", "bin/hl.exe", true},
                                           RunningGame{"FromAnotherFolder", "../Anderes Spiel/hl.exe", false}),
                         [](const auto& info) { return std::string(info.param.name); });

// Folders whose paths do not fit the updater's 260-character buffers: the
// archive's path (the update fails in red), or the folder itself (Wine
// cannot start the updater in it, which then finds none of its files).
// Either way nothing of the release reaches the game.
class WindowsLongFolderTest : public WindowsUpdaterTest {
protected:
    std::string DemoRoot() override { return m_longRoot; }

    void LayOutAtLength(std::size_t gameFolderLength) {
        std::string windowsRoot = WindowsPath(m_demoRoot);
        std::size_t padding = gameFolderLength - windowsRoot.size() - std::string("/game").size();
        // Each name within the build machine's limit of 255 bytes a name.
        m_longRoot = m_demoRoot;
        while (padding > 0) {
            std::size_t length = std::min<std::size_t>(200, padding - 1);
            m_longRoot += "/" + std::string(length, 'L');
            padding -= length + 1;
        }
        PrepareDemo();
        ASSERT_EQ(WindowsPath(m_demo.Game()).size(), gameFolderLength);
    }

    std::string m_longRoot;
};

TEST_F(WindowsLongFolderTest, ArchivePathTooLongFailsInRed) {
    LayOutAtLength(250);
    StartUpdater();
    ASSERT_TRUE(FindReadyWindow());
    ASSERT_TRUE(Click("UpdateButton"));
    ASSERT_TRUE(WaitUntil([&] { return BarIsRed(); }, kUpdateTimeout)) << "the failure was not shown in red";
    ExpectGameUntouched();
    EXPECT_FALSE(PathExists(Game("quillmere/maps/harbour.map")));
}

TEST_F(WindowsLongFolderTest, FolderTooLongEndsWithTheSchemeBox) {
    LayOutAtLength(270);
    StartUpdater();
    EXPECT_EQ(AnswerBox(30), "Updater\nFailed to load scheme \"platform/resource/TrackerScheme.res\". Exiting...");
    EXPECT_EQ(m_updater.Wait(15s), 1);
    EXPECT_EQ(ArchiveRequests(), 0);
    ExpectGameUntouched();
}

}  // namespace
