#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <mutex>
#include <optional>
#include <string>

#include "tests/support/MinisignFiles.h"
#include "tests/support/TestSupport.h"
#include "tests/update/EngineTestSupport.h"
#include "tests/update/TestHttpServer.h"
#include "update/EngineInit.h"
#include "update/Manifest.h"
#include "update/UnixTime.h"

using namespace update;
using testsupport::PathExists;
using testsupport::ReadFile;
using testsupport::TempDir;
using testsupport::WriteFile;

namespace {

constexpr const char* kComment = "timestamp:1700000000\tfile:manifest.json\thashed";

std::string Manifest(const std::string& extraKeys = "") {
    return R"({)" + extraKeys + R"("branches":[{"name":"plus","version":"1.0"}]})";
}

class SignedManifestTest : public enginetest::EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        m_server.Routes().Get("/m.json", [this](const httplib::Request&, httplib::Response& response) {
            std::lock_guard lock(m_mutex);
            response.set_content(m_manifest, "application/json");
        });
        m_server.Routes().Get("/m.json.minisig", [this](const httplib::Request&, httplib::Response& response) {
            ++m_signatureRequests;
            std::lock_guard lock(m_mutex);
            if (m_signature) {
                response.set_content(*m_signature, "text/plain");
            } else {
                response.status = 404;
                response.set_content("<html>Not Found</html>", "text/html");
            }
        });
        WriteFile(m_game.File("qlm.uri"), m_server.Url("/m.json") + "\n");
    }

    void Serve(const std::string& manifest, const std::optional<std::string>& signature) {
        std::lock_guard lock(m_mutex);
        m_manifest = manifest;
        m_signature = signature;
    }

    // A fresh initialisation as a new process would run it.
    EngineInitResult Init() {
        enginetest::ResetUpdateState();
        m_reporter.Clear();
        m_signatureRequests = 0;
        return EngineInit(m_keyFolder.Path());
    }

    std::string Seen() const { return PathExists(m_game.File("qlm.seen")) ? ReadFile(m_game.File("qlm.seen")) : ""; }

    TempDir m_game{true};
    TempDir m_keyFolder;
    enginetest::TestHttpServer m_server;
    testsupport::MinisignSigner m_publisher;
    std::atomic<int> m_signatureRequests{0};
    std::mutex m_mutex;
    std::string m_manifest;
    std::optional<std::string> m_signature;
};

// With the publisher's key beside the updater, only a manifest signed by it,
// dated no earlier than the last one accepted here and not expired is used;
// everything else ends the run with the verification box.
TEST_F(SignedManifestTest, OnlyAFreshManifestSignedByThePublisherIsUsed) {
    const std::string manifest = Manifest();
    const std::string signature = m_publisher.SignatureFile(manifest, kComment);
    const testsupport::MinisignSigner stranger;
    struct Case {
        const char* what;
        std::string keyFile;
        std::string manifest;
        std::optional<std::string> signature;
        std::string seenBefore;
        bool accepted;
        std::string seenAfter;
    };
    const std::string key = m_publisher.PublicKeyFile();
    const std::string expiring = Manifest(R"("expires":"2999-01-01T00:00:00Z",)");
    const std::string expired = Manifest(R"("expires":"2000-01-01T00:00:00Z",)");
    const std::string undated = Manifest(R"("expires":"2999-01-01",)");
    const Case cases[] = {
        {"signed", key, manifest, signature, "", true, "1700000000\n"},
        {"legacy signature", key, manifest, m_publisher.SignatureFile(manifest, kComment, false), "", true,
         "1700000000\n"},
        {"expiry ahead", key, expiring, m_publisher.SignatureFile(expiring, kComment), "", true, "1700000000\n"},
        {"same time as the last one", key, manifest, signature, "1700000000", true, "1700000000"},
        {"newer than the last one", key, manifest, signature, "1600000000\n", true, "1700000000\n"},
        {"manifest byte changed", key, Manifest(" "), signature, "", false, ""},
        {"signed by another key", key, manifest, stranger.SignatureFile(manifest, kComment), "", false, ""},
        {"signature cut short", key, manifest, signature.substr(0, signature.size() / 2), "", false, ""},
        {"no signature beside it", key, manifest, std::nullopt, "", false, ""},
        {"signature without a time", key, manifest, m_publisher.SignatureFile(manifest, "file:manifest.json"), "",
         false, ""},
        {"older than the last one", key, manifest, signature, "1800000000", false, "1800000000"},
        {"expired", key, expired, m_publisher.SignatureFile(expired, kComment), "", false, ""},
        {"expiry not a full time", key, undated, m_publisher.SignatureFile(undated, kComment), "", false, ""},
        {"key file malformed", "untrusted comment: x\nAAAA\n", manifest, signature, "", false, ""},
    };
    for (const Case& c : cases) {
        WriteFile(m_keyFolder.File("qlm.pub"), c.keyFile);
        if (c.seenBefore.empty()) {
            std::filesystem::remove(testsupport::PathOf(m_game.File("qlm.seen")));
        } else {
            WriteFile(m_game.File("qlm.seen"), c.seenBefore);
        }
        Serve(c.manifest, c.signature);

        EngineInitResult result = Init();
        EXPECT_EQ(result.status, c.accepted ? EngineInitStatus::Ready : EngineInitStatus::Failed) << c.what;
        EXPECT_STREQ(result.fatalText, c.accepted ? nullptr : kVerifyFailedText) << c.what;
        EXPECT_EQ(g_updateState.archiveHashRequired, c.accepted) << c.what;
        EXPECT_EQ(g_updateState.branches.size(), c.accepted ? 1u : 0u) << c.what;
        EXPECT_EQ(m_signatureRequests.load(), 1) << c.what;
        EXPECT_EQ(Seen(), c.seenAfter) << c.what;
        EXPECT_TRUE(Boxes().empty()) << c.what << ": " << (Boxes().empty() ? "" : Boxes()[0]);
    }
}

// Without the key a manifest is used as before: no signature is asked for,
// nothing is remembered, and an "expires" (which anyone could have written)
// is not looked at.
TEST_F(SignedManifestTest, WithoutTheKeyNothingChanges) {
    Serve(Manifest(R"("expires":"2000-01-01T00:00:00Z",)"), std::nullopt);
    EngineInitResult result = Init();
    EXPECT_EQ(result.status, EngineInitStatus::Ready);
    EXPECT_FALSE(g_updateState.archiveHashRequired);
    EXPECT_EQ(g_updateState.selectedBranch.version, "1.0");
    EXPECT_EQ(m_signatureRequests.load(), 0);
    EXPECT_FALSE(PathExists(m_game.File("qlm.seen")));
}

TEST(UtcTime, OnlyTheFullUtcFormWithARealDate) {
    struct Case {
        const char* text;
        std::optional<std::int64_t> seconds;
    };
    const Case cases[] = {
        {"1970-01-01T00:00:00Z", 0},
        {"2000-02-29T12:00:00Z", 951825600},
        {"2027-06-30T00:00:00Z", 1814313600},
        {"1999-12-31T23:59:60Z", 946684800},
        {"2001-02-29T00:00:00Z", std::nullopt},
        {"2027-13-01T00:00:00Z", std::nullopt},
        {"2027-06-31T00:00:00Z", std::nullopt},
        {"2027-06-30T24:00:00Z", std::nullopt},
        {"2027-06-30 00:00:00Z", std::nullopt},
        {"2027-06-30T00:00:00+00:00", std::nullopt},
        {"2027-06-30T00:00:00.5Z", std::nullopt},
        {"2027-06-30T00:00:00z", std::nullopt},
        {"2027-6-30T00:00:00Z ", std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ParseUtcTime(c.text), c.seconds) << c.text;
    }
}

}  // namespace
