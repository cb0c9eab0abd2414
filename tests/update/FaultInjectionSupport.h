// Shared ground of the fault-injection tests: a game folder inside a
// sandbox folder of its own, a release server, whole updates driven as the
// window drives them, and the checks every fault ends with: nothing written
// beside the game folder, no half-written member, and a following update
// against a healthy server that succeeds in the same process.
#pragma once

#include <gtest/gtest.h>
#include <zip.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "modules/updfs/FileSystemStdio.h"
#include "tests/support/TestSupport.h"
#include "tests/update/EngineTestSupport.h"
#include "tests/update/ForkedChild.h"
#include "tests/update/RecordingPublisher.h"
#include "tests/update/TestHttpServer.h"
#include "update/Transfer.h"
#include "update/UpdateJob.h"

namespace enginetest {

struct ArchiveMember {
    std::string name;
    std::string content;
    zip_int32_t method = ZIP_CM_DEFLATE;
};

// A zip archive made with libzip in memory, members in the given order.
inline std::string ZipBytes(const std::vector<ArchiveMember>& members) {
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* buffer = zip_source_buffer_create(nullptr, 0, 0, &error);
    zip_source_keep(buffer);
    zip_t* archive = zip_open_from_source(buffer, ZIP_TRUNCATE, &error);
    for (const ArchiveMember& member : members) {
        zip_source_t* data = zip_source_buffer(archive, member.content.data(), member.content.size(), 0);
        zip_int64_t index = zip_file_add(archive, member.name.c_str(), data, ZIP_FL_ENC_RAW);
        zip_set_file_compression(archive, static_cast<zip_uint64_t>(index), member.method, 0);
    }
    zip_close(archive);
    std::string bytes;
    if (zip_source_open(buffer) == 0) {
        zip_source_seek(buffer, 0, SEEK_END);
        bytes.resize(static_cast<std::size_t>(zip_source_tell(buffer)));
        zip_source_seek(buffer, 0, SEEK_SET);
        zip_source_read(buffer, bytes.data(), bytes.size());
        zip_source_close(buffer);
    }
    zip_source_free(buffer);
    return bytes;
}

// Bytes that deflate cannot shrink, so an archive of them is as large as
// its content.
inline std::string Noise(std::size_t size) {
    std::string bytes(size, '\0');
    unsigned seed = 2463534242u;
    for (char& byte : bytes) {
        seed ^= seed << 13;
        seed ^= seed >> 17;
        seed ^= seed << 5;
        byte = static_cast<char>(seed);
    }
    return bytes;
}

// Every entry below the folder, relative, folders ending in "/"; the
// subfolder named skip is listed but not entered.
inline std::set<std::string> Listing(const std::string& folder, const std::string& skip = "") {
    namespace fs = std::filesystem;
    std::set<std::string> names;
    for (auto entry = fs::recursive_directory_iterator(folder); entry != fs::recursive_directory_iterator(); ++entry) {
        std::string name = fs::relative(entry->path(), folder).string();
        if (entry->is_directory()) {
            names.insert(name + "/");
            if (name == skip) {
                entry.disable_recursion_pending();
            }
        } else {
            names.insert(name);
        }
    }
    return names;
}

struct UpdateOutcome {
    bool ended = false;
    std::vector<std::string> statuses;
    // Progress reports after the download's first: one per received block.
    std::size_t blocks = 0;
};

inline bool ReadyForNextAttempt() {
    const update::UpdateState& state = update::g_updateState;
    return !state.updateInProgress.load() && !state.downloadResult.valid() && !state.extractionResult.valid();
}

// What a forked child tells the test about one of its updates.
inline void SendAttempt(ChildChannel& channel, const UpdateOutcome& outcome) {
    for (const std::string& status : outcome.statuses) {
        channel.Send(status);
    }
    channel.Send(outcome.ended ? "ended" : "still running");
    channel.Send(ReadyForNextAttempt() ? "ready" : "busy");
}

class FaultInjectionTest : public EngineTest {
protected:
    static constexpr const char* kHealthyPath = "/good/release.zip";
    static constexpr const char* kArchiveName = update::kDownloadFileName;

    void SetUp() override {
        EngineTest::SetUp();
        m_game = m_sandbox.File("game");
        std::filesystem::create_directories(m_game);
        testsupport::WriteFile(m_sandbox.File("beside-the-game.txt"), "not the updater's");
        m_previousDirectory = std::filesystem::current_path();
        std::filesystem::current_path(m_game);
        TheFileSystem().AddSearchPath(".", "ROOT");
        std::snprintf(update::g_updateState.installedVersion, update::kInstalledVersionSize, "1.0");
        testsupport::WriteFile(Game("game.cfg"), "old config");
        Serve(kHealthyPath, ZipBytes({{"game.cfg", "new config"}, {"maps/new.bsp", "new map"}}));
        RememberOutside();
    }

    void TearDown() override {
        EXPECT_EQ(Listing(m_sandbox.Path(), "game"), m_outside) << "written beside the game folder";
        std::filesystem::current_path(m_previousDirectory);
        update::SetStallTimeoutSeconds(update::kDefaultStallTimeoutSeconds);
        update::SetStringTimeoutSeconds(update::kDefaultStringTimeoutSeconds);
        update::ResetTransferCancel();
        EngineTest::TearDown();
    }

    std::string Game(const std::string& relative) const { return m_game + "/" + relative; }

    void Serve(const std::string& path, const std::string& body) {
        m_server.Routes().Get(path, [body](const httplib::Request&, httplib::Response& response) {
            TestHttpServer::ServeInBlocks(response, body, 64 * 1024);
        });
    }

    // What lies beside the game folder now is what every test must leave
    // there; a test that plants files beside it calls this again.
    void RememberOutside() { m_outside = Listing(m_sandbox.Path(), "game"); }

    // One update as the window runs it: start, then the per-frame polling
    // until the update has ended.
    UpdateOutcome RunUpdate(const std::string& path) { return RunUpdateAt(m_server.Url(path)); }

    UpdateOutcome RunUpdateAt(const std::string& url, std::int32_t declaredSize = 4096) {
        RecordingPublisher window;
        update::SelectBranch({"beta", url, declaredSize, "notes", "2.0"}, "beta");
        update::StartUpdate();
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (update::g_updateState.updateInProgress.load() && std::chrono::steady_clock::now() < deadline) {
            update::PollUpdateJobs();
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        UpdateOutcome outcome;
        outcome.ended = !update::g_updateState.updateInProgress.load();
        for (const Publication& status : window.Statuses()) {
            outcome.statuses.push_back(status.text);
        }
        std::size_t progress = window.Progress().size();
        outcome.blocks = progress > 0 ? progress - 1 : 0;
        return outcome;
    }

    std::string ExtractFailure() const { return "Failed to extract " + Game(kArchiveName) + ".\n"; }

    // The state a successful update against the healthy server leaves: the
    // new members, the branch file, no archive and nothing else.
    void ExpectHealthyInstall(const std::set<std::string>& alsoPresent = {}) const {
        EXPECT_EQ(testsupport::ReadFile(Game("game.cfg")), "new config");
        EXPECT_EQ(testsupport::ReadFile(Game("maps/new.bsp")), "new map");
        std::set<std::string> expected{"game.cfg", "maps/", "maps/new.bsp", "qlm.branch"};
        expected.insert(alsoPresent.begin(), alsoPresent.end());
        EXPECT_EQ(Listing(m_game), expected);
    }

    // After a failure the engine must be back to idle with both job results
    // consumed, and a normal update must go through.
    void ExpectNextAttemptSucceeds(const std::set<std::string>& alsoPresent = {}) {
        EXPECT_TRUE(ReadyForNextAttempt());
        UpdateOutcome retry = RunUpdate(kHealthyPath);
        EXPECT_TRUE(retry.ended);
        EXPECT_EQ(retry.statuses, (std::vector<std::string>{"#Updater_P2", "#Updater_Unpacking", "#Updater_Success"}));
        EXPECT_TRUE(ReadyForNextAttempt());
        ExpectHealthyInstall(alsoPresent);
    }

    testsupport::TempDir m_sandbox;
    std::string m_game;
    TestHttpServer m_server;

private:
    std::filesystem::path m_previousDirectory;
    std::set<std::string> m_outside;
};

}  // namespace enginetest
