#include <gtest/gtest.h>
#include <sodium.h>

#include <atomic>
#include <cctype>
#include <chrono>
#include <filesystem>
#include <thread>

#include <nlohmann/json.hpp>

#include "tests/support/TestSupport.h"
#include "tests/update/EngineTestSupport.h"
#include "tests/update/ReleaseArchive.h"
#include "tests/update/RecordingPublisher.h"
#include "tests/update/TestHttpServer.h"
#include "update/Manifest.h"
#include "update/UpdateJob.h"

using namespace update;
using enginetest::ReleaseArchive;
using testsupport::PathExists;
using testsupport::ReadFile;
using testsupport::TempDir;
using testsupport::WriteFile;

namespace {

std::string Sha256Hex(const std::string& bytes) {
    unsigned char digest[crypto_hash_sha256_BYTES];
    crypto_hash_sha256(digest, reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
    char hex[2 * sizeof(digest) + 1];
    return sodium_bin2hex(hex, sizeof(hex), digest, sizeof(digest));
}

std::string Upper(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return text;
}

enum class Outcome { Installed, RefusedBeforeRequest, RefusedAfterDownload };

struct HashCase {
    const char* label;
    std::string (*pin)(const std::string& realHash);
    bool hashRequired;
    bool tamperServedByte;
    Outcome outcome;
};

const HashCase kCases[] = {
    {"lower case", [](const std::string& h) { return h; }, false, false, Outcome::Installed},
    {"upper case", [](const std::string& h) { return Upper(h); }, false, false, Outcome::Installed},
    {"required and pinned", [](const std::string& h) { return h; }, true, false, Outcome::Installed},
    {"no hash, not required", [](const std::string&) { return std::string(); }, false, false, Outcome::Installed},
    {"one byte tampered", [](const std::string& h) { return h; }, false, true, Outcome::RefusedAfterDownload},
    {"63 digits", [](const std::string& h) { return h.substr(1); }, false, false, Outcome::RefusedBeforeRequest},
    {"65 digits", [](const std::string& h) { return h + "0"; }, false, false, Outcome::RefusedBeforeRequest},
    {"not hex", [](const std::string& h) { return "g" + h.substr(1); }, false, false, Outcome::RefusedBeforeRequest},
    {"required, no hash", [](const std::string&) { return std::string(); }, true, false,
     Outcome::RefusedBeforeRequest},
};

class ArchiveHashTest : public enginetest::EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        TheFileSystem().AddSearchPath(".", "ROOT");
        m_release = ReleaseArchive(m_work);
        m_server.Routes().Get("/release.zip", [this](const httplib::Request&, httplib::Response& response) {
            ++m_requests;
            response.set_content(m_served, "application/zip");
        });
    }
    void RunUpdate(const std::string& sha256) {
        std::snprintf(g_updateState.installedVersion, kInstalledVersionSize, "1.0");
        BranchRecord branch{"beta", m_server.Url("/release.zip"), static_cast<std::int32_t>(m_release.size()),
                            "notes", "2.0", sha256};
        SelectBranch(branch, "beta");
        StartUpdate();
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (g_updateState.updateInProgress.load()) {
            ASSERT_LT(std::chrono::steady_clock::now(), deadline) << "update did not end";
            PollUpdateJobs();
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    }

    TempDir m_game{true};
    TempDir m_work;
    enginetest::TestHttpServer m_server;
    std::string m_release;
    std::string m_served;
    std::atomic<int> m_requests{0};
};

TEST_F(ArchiveHashTest, UpdateInstallsOnlyWhatItsHashPins) {
    const std::string stale = "partial from last time";
    for (const HashCase& test : kCases) {
        SCOPED_TRACE(test.label);
        enginetest::RecordingPublisher window;
        m_requests = 0;
        m_served = m_release;
        if (test.tamperServedByte) {
            m_served[m_served.size() / 2] ^= 0x01;
        }
        g_updateState.archiveHashRequired = test.hashRequired;
        WriteFile(m_game.File("game.cfg"), "old config");
        WriteFile(m_game.File(kDownloadFileName), stale);
        std::filesystem::remove(testsupport::PathOf(m_game.File("qlm.branch")));

        RunUpdate(test.pin(Sha256Hex(m_release)));

        std::vector<enginetest::Publication> statuses = window.Statuses();
        ASSERT_FALSE(statuses.empty());
        EXPECT_FALSE(g_updateState.updateInProgress.load());
        EXPECT_FALSE(g_updateState.extractionResult.valid());
        switch (test.outcome) {
        case Outcome::Installed:
            EXPECT_EQ(statuses.back().text, "#Updater_Success");
            EXPECT_EQ(ReadFile(m_game.File("game.cfg")), "sv_cheats 0");
            EXPECT_FALSE(PathExists(m_game.File(kDownloadFileName)));
            break;
        case Outcome::RefusedBeforeRequest:
            ASSERT_EQ(statuses.size(), 1u);
            EXPECT_EQ(statuses[0].text, "#Updater_FailedVerify");
            EXPECT_TRUE(statuses[0].error);
            EXPECT_EQ(statuses[0].progress, 1.0f);
            EXPECT_EQ(m_requests.load(), 0);
            EXPECT_FALSE(g_updateState.downloadResult.valid());
            EXPECT_EQ(window.Clears(), 0);
            EXPECT_EQ(ReadFile(m_game.File(kDownloadFileName)), stale);
            EXPECT_EQ(ReadFile(m_game.File("game.cfg")), "old config");
            break;
        case Outcome::RefusedAfterDownload:
            ASSERT_EQ(statuses.size(), 2u);
            EXPECT_EQ(statuses[0].text, "#Updater_P2");
            EXPECT_EQ(statuses[1].text, "#Updater_FailedVerify");
            EXPECT_TRUE(statuses.back().error);
            EXPECT_EQ(statuses.back().progress, 1.0f);
            EXPECT_EQ(m_requests.load(), 1);
            EXPECT_FALSE(PathExists(m_game.File(kDownloadFileName)));
            EXPECT_EQ(ReadFile(m_game.File("game.cfg")), "old config");
            EXPECT_FALSE(PathExists(m_game.File("qlm.branch")));
            break;
        }
    }
}

// The hash arrives as the manifest gives it; any other type than a text
// drops the branch as a wrong-typed name or address would.
TEST(ArchiveHashManifest, BranchKeepsTheTextAndDropsOtherTypes) {
    nlohmann::json document;
    ASSERT_TRUE(ParseManifest(R"({"branches": [{"name": "pinned", "sha256": "AbC"},
                                               {"name": "number", "sha256": 5},
                                               {"name": "bare"}]})",
                              document));
    std::FILE* listing = std::tmpfile();
    ASSERT_NE(listing, nullptr);
    std::vector<BranchRecord> branches = ReadBranches(document, listing);
    std::fclose(listing);
    ASSERT_EQ(branches.size(), 2u);
    EXPECT_EQ(branches[0].sha256, "AbC");
    EXPECT_EQ(branches[1].name, "bare");
    EXPECT_EQ(branches[1].sha256, "");
}

}  // namespace
