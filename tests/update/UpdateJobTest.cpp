#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "modules/updfs/FileSystemStdio.h"
#include "tests/support/TestSupport.h"
#include "tests/update/EngineTestSupport.h"
#include "tests/update/ReleaseArchive.h"
#include "tests/update/RecordingPublisher.h"
#include "tests/update/TestHttpServer.h"
#include "update/UpdateJob.h"

using namespace update;
using enginetest::ReleaseArchive;
using enginetest::Publication;
using testsupport::PathExists;
using testsupport::ReadFile;
using testsupport::TempDir;
using testsupport::WriteFile;
namespace fs = std::filesystem;

namespace {

std::vector<std::string> StatusTexts(const enginetest::RecordingPublisher& publisher) {
    std::vector<std::string> texts;
    for (const Publication& status : publisher.Statuses()) {
        texts.push_back(status.text);
    }
    return texts;
}

class UpdateJobTest : public enginetest::EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        TheFileSystem().AddSearchPath(".", "ROOT");
        m_release = ReleaseArchive(m_work);
        m_server.Routes().Get("/files/release.zip", [this](const httplib::Request&, httplib::Response& response) {
            response.set_content(m_release, "application/zip");
        });
        m_server.Routes().Get("/files/missing.zip", [](const httplib::Request&, httplib::Response& response) {
            response.status = 404;
            response.set_content("<html>404</html>", "text/html");
        });
        std::snprintf(g_updateState.installedVersion, kInstalledVersionSize, "1.0");
    }

    void SelectRelease(const std::string& url, const std::string& version = "2.0") {
        SelectBranch({"beta", url, static_cast<std::int32_t>(m_release.size()), "notes", version}, "beta");
    }

    // Runs the window's per-frame polling until the update has ended.
    void PollUntilIdle() {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (g_updateState.updateInProgress.load()) {
            ASSERT_LT(std::chrono::steady_clock::now(), deadline) << "update did not end";
            PollUpdateJobs();
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    }

    void TearDown() override {
        ResetTransferCancel();
        EngineTest::TearDown();
    }

    // A route that sends the body 64 bytes every 20 ms, so an update stays
    // in its download for a while.
    void AddSlowRoute(const std::string& path, const std::string& content) {
        m_server.Routes().Get(path, [content](const httplib::Request&, httplib::Response& response) {
            auto body = std::make_shared<std::string>(content);
            response.set_content_provider(body->size(), "application/zip",
                                          [body](std::size_t offset, std::size_t, httplib::DataSink& sink) {
                                              std::this_thread::sleep_for(std::chrono::milliseconds(20));
                                              std::size_t length = std::min<std::size_t>(64, body->size() - offset);
                                              sink.write(body->data() + offset, length);
                                              return true;
                                          });
        });
    }

    TempDir m_game{true};
    TempDir m_work;
    enginetest::TestHttpServer m_server;
    enginetest::RecordingPublisher m_window;
    std::string m_release;
};

TEST(ArchiveFileName, IsTheLastPartOfTheAddress) {
    EXPECT_EQ(ArchiveFileNameOf("https://h/releases/v2/game.zip"), "game.zip");
    EXPECT_EQ(ArchiveFileNameOf("https://h/game.zip?token=1"), "game.zip?token=1");
    EXPECT_EQ(ArchiveFileNameOf("https://h/releases/"), "");
    EXPECT_EQ(ArchiveFileNameOf("game.zip"), "game.zip");
}

TEST_F(UpdateJobTest, InstalledVersionIsRefusedAtOnceWithoutStartingAnything) {
    SelectRelease(m_server.Url("/files/release.zip"), "1.0");
    StartUpdate();
    ASSERT_EQ(m_window.Statuses().size(), 1u);
    Publication refusal = m_window.Statuses()[0];
    EXPECT_EQ(refusal.text, "#Updater_P1");
    EXPECT_FALSE(refusal.error);
    EXPECT_EQ(refusal.progress, 1.0f);
    EXPECT_FALSE(g_updateState.updateInProgress.load());
    EXPECT_FALSE(g_updateState.updateAvailable.load());
    EXPECT_FALSE(g_updateState.downloadResult.valid());
    EXPECT_EQ(m_window.Clears(), 0);
}

TEST_F(UpdateJobTest, SuccessfulUpdateInstallsSavesTheBranchAndRemovesTheArchive) {
    SelectRelease(m_server.Url("/files/release.zip"));
    g_updateState.statusShown = true;
    WriteFile(m_game.File("game.cfg"), "old config");

    StartUpdate();
    EXPECT_TRUE(g_updateState.updateInProgress.load());
    EXPECT_TRUE(g_updateState.updateAvailable.load());
    EXPECT_EQ(g_updateState.archiveFileName, kDownloadFileName);
    EXPECT_EQ(m_window.Clears(), 1);
    PollUntilIdle();

    EXPECT_EQ(StatusTexts(m_window),
              (std::vector<std::string>{"#Updater_P2", "#Updater_Unpacking", "#Updater_Success"}));
    EXPECT_EQ(ReadFile(m_game.File("game.cfg")), "sv_cheats 0");
    EXPECT_EQ(ReadFile(m_game.File("maps/new.bsp")), "new map");
    EXPECT_EQ(ReadFile(m_game.File("qlm.branch")), "beta");
    EXPECT_FALSE(PathExists(m_game.File(kDownloadFileName)));
    // The probe ran again; this test binary has no game module beside it.
    EXPECT_STREQ(g_updateState.installedVersion, "NONE");
    EXPECT_EQ(m_window.VersionChanges(), 1);
    EXPECT_FALSE(g_updateState.statusShown);
    EXPECT_FALSE(g_updateState.downloadResult.valid());
    EXPECT_FALSE(g_updateState.extractionResult.valid());

    std::vector<Publication> progress = m_window.Progress();
    ASSERT_GE(progress.size(), 2u);
    EXPECT_EQ(progress.front().text, "Downloading release.zip");
    EXPECT_EQ(progress.back().progress, 1.0f);
}

TEST_F(UpdateJobTest, ErrorPageIsDownloadedThenFailsToExtractAndNothingIsSaved) {
    SelectRelease(m_server.Url("/files/missing.zip"));
    StartUpdate();
    PollUntilIdle();
    std::vector<std::string> texts = StatusTexts(m_window);
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[1], "#Updater_Unpacking");
    EXPECT_EQ(texts[2], "Failed to extract " + m_game.File(kDownloadFileName) + ".\n");
    EXPECT_TRUE(m_window.Statuses()[2].error);
    EXPECT_TRUE(PathExists(m_game.File(kDownloadFileName)));
    EXPECT_FALSE(PathExists(m_game.File("qlm.branch")));
    EXPECT_STREQ(g_updateState.installedVersion, "1.0");
    EXPECT_EQ(m_window.VersionChanges(), 0);
}

TEST_F(UpdateJobTest, FailedDownloadEndsTheUpdateWithoutExtraction) {
    SelectRelease("http://127.0.0.1:" + std::to_string(enginetest::ClosedPort()) + "/files/release.zip");
    StartUpdate();
    PollUntilIdle();
    std::vector<std::string> texts = StatusTexts(m_window);
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[1], "cURL error: Couldn't connect to server\n");
    EXPECT_FALSE(g_updateState.extractionResult.valid());
}

// The address names the archive only on the window: an empty or odd last
// part downloads under the private name all the same.
TEST_F(UpdateJobTest, AddressEndingInSlashDownloadsUnderThePrivateName) {
    m_server.Routes().Get("/files/", [this](const httplib::Request&, httplib::Response& response) {
        response.set_content(m_release, "application/zip");
    });
    SelectRelease(m_server.Url("/files/"));
    StartUpdate();
    PollUntilIdle();
    EXPECT_EQ(StatusTexts(m_window).back(), "#Updater_Success");
    EXPECT_EQ(m_window.Progress().front().text, "Downloading ");
}

TEST_F(UpdateJobTest, OldArchiveIsRemovedNotTruncatedBeforeTheDownload) {
    WriteFile(m_game.File(kDownloadFileName), "partial from last time");
    ASSERT_EQ(link(m_game.File(kDownloadFileName).c_str(), m_work.File("witness").c_str()), 0);
    SelectRelease(m_server.Url("/files/release.zip"));
    StartUpdate();
    PollUntilIdle();
    EXPECT_EQ(ReadFile(m_work.File("witness")), "partial from last time");
    EXPECT_EQ(StatusTexts(m_window).back(), "#Updater_Success");
}

TEST_F(UpdateJobTest, RemovingTheArchiveTakesLinksButLeavesFoldersAndMissingFilesAlone) {
    fs::create_directories(m_game.File("folder.zip"));
    RemoveDownloadedFile("folder.zip");
    EXPECT_TRUE(fs::is_directory(m_game.File("folder.zip")));
    WriteFile(m_work.File("target"), "kept");
    fs::create_symlink(m_work.File("target"), m_game.File("link.zip"));
    RemoveDownloadedFile("link.zip");
    EXPECT_FALSE(fs::is_symlink(m_game.File("link.zip")));
    EXPECT_EQ(ReadFile(m_work.File("target")), "kept");
    RemoveDownloadedFile("never-there.zip");
    RemoveDownloadedFile("");
}

TEST_F(UpdateJobTest, SelectingABranchDoesNotWriteTheBranchFile) {
    SelectBranch({"plus", "u", 5, "c", "9"}, "plus");
    EXPECT_EQ(g_updateState.chosenBranchName, "plus");
    EXPECT_EQ(g_updateState.selectedBranch.version, "9");
    EXPECT_EQ(g_updateState.selectedBranch.size, 5);
    EXPECT_FALSE(PathExists(m_game.File("qlm.branch")));
}

TEST_F(UpdateJobTest, PollingWithoutAnUpdateDoesNothing) {
    PollUpdateJobs();
    EXPECT_TRUE(m_window.All().empty());
}

// Shutting down while the download still runs must leave the transfer
// library in place for it: the job finishes its transfer normally.
TEST_F(UpdateJobTest, ShutdownDuringADownloadLetsTheJobFinish) {
    AddSlowRoute("/files/slow.zip", m_release);
    SelectRelease(m_server.Url("/files/slow.zip"));
    StartUpdate();
    EngineShutdown();
    EXPECT_FALSE(g_updateState.updateInProgress.load());
    ASSERT_EQ(g_updateState.downloadResult.wait_for(std::chrono::seconds(60)), std::future_status::ready);
    EXPECT_TRUE(g_updateState.downloadResult.get());
    EXPECT_EQ(ReadFile(m_game.File(kDownloadFileName)), m_release);
}

// Exit cuts a download short, quietly, and takes its archive away.
TEST_F(UpdateJobTest, ExitDuringADownloadCancelsItWithinASecond) {
    // About 2.5 s of body: without a cancel the exit would wait for all of it.
    AddSlowRoute("/files/slow.zip", std::string(8 << 10, 's'));
    SelectRelease(m_server.Url("/files/slow.zip"));
    StartUpdate();
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (m_window.Progress().size() < 3 && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    ASSERT_TRUE(PathExists(m_game.File(kDownloadFileName))) << "the download did not begin";
    auto start = std::chrono::steady_clock::now();
    FinishJobsForExit();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(1500));
    EXPECT_FALSE(g_updateState.updateInProgress.load());
    EXPECT_FALSE(g_updateState.downloadResult.valid());
    EXPECT_FALSE(PathExists(m_game.File(kDownloadFileName)));
    EXPECT_EQ(StatusTexts(m_window), (std::vector<std::string>{"#Updater_P2"})) << "a cancel is not a failure";
    FinishJobsForExit();
}

// Exit after the download has finished waits for the unpacking and then
// completes the update as the window would have.
TEST_F(UpdateJobTest, ExitDuringTheExtractionCompletesTheUpdate) {
    SelectRelease(m_server.Url("/files/release.zip"));
    StartUpdate();
    ASSERT_EQ(g_updateState.downloadResult.wait_for(std::chrono::seconds(10)), std::future_status::ready);
    PollUpdateJobs();
    ASSERT_TRUE(g_updateState.extractionResult.valid()) << "the extraction did not start";
    FinishJobsForExit();
    EXPECT_FALSE(g_updateState.updateInProgress.load());
    EXPECT_EQ(ReadFile(m_game.File("maps/new.bsp")), "new map");
    EXPECT_EQ(ReadFile(m_game.File("qlm.branch")), "beta");
    EXPECT_FALSE(PathExists(m_game.File(kDownloadFileName)));
    EXPECT_EQ(StatusTexts(m_window).back(), "#Updater_Success");
    std::size_t published = m_window.All().size();
    FinishJobsForExit();
    EXPECT_EQ(m_window.All().size(), published);
}

TEST_F(UpdateJobTest, ShutdownClearsTheFlags) {
    g_updateState.updateInProgress = true;
    g_updateState.engineInitialised = true;
    EngineShutdown();
    EXPECT_FALSE(g_updateState.updateInProgress.load());
    EXPECT_FALSE(g_updateState.engineInitialised);
    update::HttpGlobalInit();
}

}  // namespace
