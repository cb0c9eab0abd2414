// The demo's game folder, release server and archives driven through the
// update engine as the window drives it: the manifest comes from the real
// loopback server through the folder's "qlm.uri", signed with the key in the
// folder, each branch's archive is downloaded, checked against its hash and
// extracted over the folder, and the folder's module then really reports the
// branch's version.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include <nlohmann/json.hpp>

#include "modules/updfs/FileSystemStdio.h"
#include "tests/e2e/ProcessHarness.h"
#include "tests/support/TestSupport.h"
#include "tests/update/EngineTestSupport.h"
#include "tests/update/RecordingPublisher.h"
#include "update/Manifest.h"
#include "update/Minisign.h"
#include "update/UpdateJob.h"

using namespace update;
using testsupport::PathExists;
using testsupport::ReadFile;
namespace fs = std::filesystem;

namespace {

class DemoReleaseTest : public enginetest::EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        fs::create_directories(m_root.File("releases"));
        ASSERT_TRUE(m_server.Start(m_root.File("releases"), m_root.File("server.log")));
        ASSERT_TRUE(e2e::MakeDemoFolder(m_root.Path(), m_server.Port(), m_demo));
        m_previousFolder = fs::current_path();
        fs::current_path(m_demo.Game());
        // The updater's start-up adds the game folder as its root search
        // path; extraction resolves the archive through it.
        TheFileSystem().AddSearchPath(".", "ROOT");
    }

    void TearDown() override {
        fs::current_path(m_previousFolder);
        EngineTest::TearDown();
        if (HasFailure()) {
            ADD_FAILURE() << "release server log:\n" << ReadFile(m_root.File("server.log"));
        }
    }

    // The branches of the manifest the folder's "qlm.uri" leads to.
    std::vector<BranchRecord> FetchBranches() {
        nlohmann::json document;
        std::string text = ResolveManifest("https://127.0.0.1:1/never-used.json");
        EXPECT_TRUE(ParseManifest(text, document)) << text;
        std::FILE* listing = std::fopen("/dev/null", "w");
        std::vector<BranchRecord> branches = ReadBranches(document, listing);
        std::fclose(listing);
        return branches;
    }

    const BranchRecord* Find(const std::vector<BranchRecord>& branches, const std::string& name) {
        for (const BranchRecord& branch : branches) {
            if (branch.name == name) {
                return &branch;
            }
        }
        ADD_FAILURE() << "no branch " << name;
        return nullptr;
    }

    // Starts an update of the branch and polls as the window does each frame
    // until it has ended.
    void RunUpdate(const BranchRecord& branch) {
        std::snprintf(g_updateState.installedVersion, kInstalledVersionSize, "%s",
                      e2e::ReportedVersion(m_demo.Game()).c_str());
        SelectBranch(branch, branch.name.c_str());
        g_updateState.updateAvailable = true;
        StartUpdate();
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (g_updateState.updateInProgress.load()) {
            ASSERT_LT(std::chrono::steady_clock::now(), deadline) << "the update did not end";
            PollUpdateJobs();
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    }

    std::vector<std::string> Statuses() const {
        std::vector<std::string> texts;
        for (const enginetest::Publication& status : m_window.Statuses()) {
            texts.push_back(status.text + (status.error ? " (error)" : ""));
        }
        return texts;
    }

    testsupport::TempDir m_root;
    e2e::ReleaseServer m_server;
    e2e::DemoFolder m_demo;
    enginetest::RecordingPublisher m_window;
    fs::path m_previousFolder;
};

TEST_F(DemoReleaseTest, ManifestOffersTwoBranchesWhoseArchivesLieOnTheLoopbackServer) {
    EXPECT_EQ(e2e::ReportedVersion(m_demo.Game()), "1.4.2");
    std::vector<BranchRecord> branches = FetchBranches();
    ASSERT_EQ(branches.size(), 2u);
    for (const BranchRecord& branch : branches) {
        EXPECT_EQ(branch.downloadUrl.rfind(m_server.Url("/"), 0), 0u) << branch.downloadUrl;
        std::string archive = m_demo.Releases() + "/" + branch.name + "/" + ArchiveFileNameOf(branch.downloadUrl);
        ASSERT_TRUE(PathExists(archive)) << archive;
        // The size is the progress total, so it must be the archive's own.
        EXPECT_EQ(static_cast<std::uintmax_t>(branch.size), fs::file_size(archive)) << branch.name;
        EXPECT_NE(branch.changelog.find(branch.version), std::string::npos) << branch.changelog;
        EXPECT_NE(branch.version, "1.4.2");
    }
    EXPECT_NE(branches[0].version, branches[1].version);

    MinisignKey key;
    ASSERT_TRUE(ParseMinisignPublicKey(ReadFile(m_demo.Game() + "/qlm.pub"), key));
    std::string trustedComment;
    EXPECT_EQ(VerifyMinisign(key, ReadFile(m_demo.Releases() + "/manifest.json.minisig"),
                             ReadFile(m_demo.Releases() + "/manifest.json"), &trustedComment),
              SignatureCheck::Valid);
    EXPECT_TRUE(TrustedTimestamp(trustedComment).has_value()) << trustedComment;
    EXPECT_FALSE(PathExists(m_demo.Game() + "/tools")) << "the publisher's tools are not shipped";
    EXPECT_FALSE(PathExists(m_demo.Releases() + "/publisher.key")) << "the secret key is not served";
}

TEST_F(DemoReleaseTest, EachBranchUpdateChangesTheReportedVersionAndTheGameFiles) {
    std::vector<BranchRecord> branches = FetchBranches();
    struct Expected {
        const char* name;
        const char* notes;
        std::vector<const char*> maps;
    };
    // The second update runs over the first, as a person switching branches
    // would do.
    for (const Expected& expected : {Expected{"plus", "Quillmere 1.5.0 (plus)\n", {"harbour"}},
                                     Expected{"beta", "Quillmere 1.6.0-beta (beta)\n", {"harbour", "beta_arena"}}}) {
        SCOPED_TRACE(expected.name);
        const BranchRecord* branch = Find(branches, expected.name);
        ASSERT_NE(branch, nullptr);
        RunUpdate(*branch);
        std::vector<std::string> statuses = Statuses();
        ASSERT_FALSE(statuses.empty());
        EXPECT_EQ(statuses.back(), "#Updater_Success") << testing::PrintToString(statuses);
        EXPECT_EQ(e2e::ReportedVersion(m_demo.Game()), branch->version);
        EXPECT_EQ(ReadFile("qlm.branch"), branch->name);
        EXPECT_FALSE(PathExists(update::kDownloadFileName)) << "the archive is removed";
        EXPECT_EQ(ReadFile("quillmere/notes.txt"), expected.notes);
        for (const char* map : expected.maps) {
            EXPECT_TRUE(PathExists(std::string("quillmere/maps/") + map + ".map")) << map;
        }
        EXPECT_EQ(ReadFile("quillmere/maps/lighthouse.map"), "old map, kept by every release\n");
        EXPECT_TRUE(PathExists("updater")) << "the updater itself stays";
    }
}

// What the server sends in place of the signed archive fails its hash: the
// download is removed and nothing is extracted.
TEST_F(DemoReleaseTest, ArchiveOtherThanSignedFailsVerificationAndLeavesTheGameAsItWas) {
    std::vector<BranchRecord> branches = FetchBranches();
    const BranchRecord* plus = Find(branches, "plus");
    ASSERT_NE(plus, nullptr);
    std::string served = m_demo.Releases() + "/plus/" + ArchiveFileNameOf(plus->downloadUrl);
    std::string archive = ReadFile(served);
    struct Change {
        const char* name;
        std::string served;  // empty: none, the server answers 404
    };
    std::string oneByteChanged = archive;
    oneByteChanged[oneByteChanged.size() / 2] ^= 0x20;
    for (const Change& change : {Change{"missing", ""}, Change{"one byte changed", oneByteChanged}}) {
        SCOPED_TRACE(change.name);
        fs::remove(served);
        if (!change.served.empty()) {
            testsupport::WriteFile(served, change.served);
        }
        std::size_t earlier = Statuses().size();
        RunUpdate(*plus);
        std::vector<std::string> statuses = Statuses();
        ASSERT_GT(statuses.size(), earlier);
        EXPECT_EQ(statuses.back(), "#Updater_FailedVerify (error)") << testing::PrintToString(statuses);
        EXPECT_FALSE(PathExists(update::kDownloadFileName)) << "what failed its hash is removed";
        EXPECT_EQ(e2e::ReportedVersion(m_demo.Game()), "1.4.2");
        EXPECT_EQ(ReadFile("quillmere/notes.txt"), "Quillmere 1.4.2\n");
        EXPECT_FALSE(PathExists("qlm.branch")) << "a failed update saves no branch";
    }
}

TEST_F(DemoReleaseTest, LayingTheFolderOutAgainStartsFromTheOldVersion) {
    std::vector<BranchRecord> branches = FetchBranches();
    const BranchRecord* beta = Find(branches, "beta");
    ASSERT_NE(beta, nullptr);
    RunUpdate(*beta);
    ASSERT_EQ(e2e::ReportedVersion(m_demo.Game()), "1.6.0-beta");
    fs::current_path(m_previousFolder);
    ASSERT_TRUE(e2e::MakeDemoFolder(m_root.Path(), m_server.Port(), m_demo));
    fs::current_path(m_demo.Game());
    EXPECT_EQ(e2e::ReportedVersion(m_demo.Game()), "1.4.2");
    EXPECT_FALSE(PathExists("qlm.branch"));
    EXPECT_FALSE(PathExists("quillmere/maps/beta_arena.map"));
    EXPECT_EQ(ReadFile("qlm.uri"), m_server.Url("/manifest.json") + "\n");
}

}  // namespace
