// Addresses and servers that try to make the download hurt the machine: an
// archive named like a game file, a name with backslashes that points
// outside the game folder, schemes other than HTTP, bodies far beyond their
// declared size and servers that never finish. Whatever they do, nothing
// beside the game folder changes (checked after every test), the game's own
// files stay as they were unless the release itself replaces them, and the
// next update in the same process works.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <thread>

#include "tests/update/FaultInjectionSupport.h"

using namespace update;
using enginetest::TestHttpServer;
using enginetest::UpdateOutcome;
using testsupport::ReadFile;
using testsupport::WriteFile;

namespace {

constexpr const char* kUpdaterBytes = "the updater itself";
constexpr const char* kModuleBytes = "the game module";
// Well beyond what the 4096 bytes every case declares may grow to.
constexpr std::size_t kOversized = 2u << 20;

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
    return text;
}

class HostileServerTest : public enginetest::FaultInjectionTest {
protected:
    void SetUp() override {
        FaultInjectionTest::SetUp();
        WriteFile(Game("updater"), kUpdaterBytes);
        WriteFile(Game("FileSystem_Stdio.so"), kModuleBytes);
        // What the attacks below reach for beside the game folder.
        WriteFile(m_sandbox.File("secret.txt"), "outside secret");
        WriteFile(m_sandbox.File("outside.zip"), enginetest::ZipBytes({{"game.cfg", "planted config"}}));
        RememberOutside();
        AddRoutes();
    }
    void TearDown() override {
        ExpectGameFilesIntact();
        FaultInjectionTest::TearDown();
    }

    void AddRoutes() {
        std::string release = enginetest::ZipBytes({{"game.cfg", "new config"}, {"maps/new.bsp", "new map"}});
        Serve("/rel/updater", release);
        Serve(R"(/.*outside\.zip)", release);
        m_server.Routes().Get("/rel/FileSystem_Stdio.so", [](const httplib::Request&, httplib::Response& response) {
            response.status = 404;
            response.set_content("<html>not found</html>", "text/html");
        });
        m_server.Routes().Get("/to-file", [this](const httplib::Request&, httplib::Response& response) {
            response.set_redirect("file://" + m_sandbox.File("secret.txt"));
        });
        m_server.Routes().Get("/announced.zip", [](const httplib::Request&, httplib::Response& response) {
            TestHttpServer::ServeInBlocks(response, std::string(kOversized, 'a'), 64 * 1024);
        });
        m_server.Routes().Get("/endless.zip", [](const httplib::Request&, httplib::Response& response) {
            response.set_chunked_content_provider("application/zip", [](std::size_t offset, httplib::DataSink& sink) {
                std::string block(64 * 1024, 'e');
                return offset < kOversized && sink.write(block.data(), block.size());
            });
        });
    }

    // "{server}" is the test server's address and "{port}" its port;
    // "{outside}" is the folder around the game folder, "{outside\}" the
    // same written with "\" between its names.
    std::string Address(std::string pattern) const {
        std::string server = m_server.Url("");
        pattern = Replaced(pattern, "{server}", server);
        pattern = Replaced(pattern, "{port}", server.substr(server.rfind(':') + 1));
        pattern = Replaced(pattern, "{outside\\}", Replaced(m_sandbox.Path(), "/", "\\"));
        return Replaced(pattern, "{outside}", m_sandbox.Path());
    }

    void ExpectGameFilesIntact() const {
        EXPECT_EQ(ReadFile(Game("updater")), kUpdaterBytes);
        EXPECT_EQ(ReadFile(Game("FileSystem_Stdio.so")), kModuleBytes);
    }

    void ExpectNextUpdateWorks() { ExpectNextAttemptSucceeds({"updater", "FileSystem_Stdio.so"}); }
};

enum class Ending {
    kInstalled,    // the served release was installed
    kNotUnpacked,  // what was served was downloaded and failed to unpack
    kRefused,      // the transfer failed with the given text
};

struct HostileCase {
    const char* name;
    const char* address;
    Ending ending;
    const char* transferError = "";
    // Refused transfers: an empty or partial archive stays until the next
    // update; one stopped by the size limit is removed at once.
    bool archiveLeft = false;
};

void PrintTo(const HostileCase& hostile, std::ostream* stream) { *stream << hostile.name; }

class HostileAddressTest : public HostileServerTest, public ::testing::WithParamInterface<HostileCase> {};

TEST_P(HostileAddressTest, HarmsNothingAndTheNextUpdateWorks) {
    const HostileCase& hostile = GetParam();
    UpdateOutcome outcome = RunUpdateAt(Address(hostile.address));
    ASSERT_TRUE(outcome.ended);
    std::set<std::string> untouched{"game.cfg", "updater", "FileSystem_Stdio.so"};
    switch (hostile.ending) {
        case Ending::kInstalled:
            EXPECT_EQ(outcome.statuses,
                      (std::vector<std::string>{"#Updater_P2", "#Updater_Unpacking", "#Updater_Success"}));
            ExpectHealthyInstall({"updater", "FileSystem_Stdio.so"});
            break;
        case Ending::kNotUnpacked:
            EXPECT_EQ(outcome.statuses,
                      (std::vector<std::string>{"#Updater_P2", "#Updater_Unpacking", ExtractFailure()}));
            untouched.insert(kArchiveName);
            EXPECT_EQ(enginetest::Listing(m_game), untouched);
            break;
        case Ending::kRefused:
            EXPECT_EQ(outcome.statuses, (std::vector<std::string>{"#Updater_P2", hostile.transferError}));
            if (hostile.archiveLeft) {
                untouched.insert(kArchiveName);
            }
            EXPECT_EQ(enginetest::Listing(m_game), untouched);
            EXPECT_EQ(ReadFile(Game(kArchiveName)), "") << "nothing of the refused body was kept";
            break;
    }
    ExpectGameFilesIntact();
    ExpectNextUpdateWorks();
}

INSTANTIATE_TEST_SUITE_P(
    Download, HostileAddressTest,
    ::testing::Values(
        HostileCase{"NamedLikeTheUpdater", "{server}/rel/updater", Ending::kInstalled},
        HostileCase{"NamedLikeTheGameModuleAnswering404", "{server}/rel/FileSystem_Stdio.so", Ending::kNotUnpacked},
        // The last part of the address is a path outside the game folder
        // once its "\" are taken as separators.
        HostileCase{"BackslashesPointOutside", "{server}/{outside\\}\\outside.zip", Ending::kInstalled},
        HostileCase{"LocalFileScheme", "file://{outside}/secret.txt", Ending::kRefused,
                    "cURL error: Unsupported protocol\n", true},
        HostileCase{"GopherToALocalService", "gopher://127.0.0.1:{port}/_SET%20key%20value", Ending::kRefused,
                    "cURL error: Unsupported protocol\n", true},
        HostileCase{"RedirectToALocalFile", "{server}/to-file", Ending::kRefused, "cURL error: Unsupported protocol\n",
                    true},
        HostileCase{"BodyBeyondTheDeclaredSize", "{server}/endless.zip", Ending::kRefused,
                    "cURL error: Maximum file size exceeded\n"},
        HostileCase{"AnnouncedLengthBeyondTheDeclaredSize", "{server}/announced.zip", Ending::kRefused,
                    "cURL error: Maximum file size exceeded\n"}),
    [](const auto& info) { return std::string(info.param.name); });

// An announced length beyond the limit is refused before any of the body
// is taken.
TEST_F(HostileServerTest, AnnouncedLengthBeyondTheLimitTakesNoBlock) {
    UpdateOutcome outcome = RunUpdate("/announced.zip");
    EXPECT_EQ(outcome.blocks, 0u);
    EXPECT_EQ(outcome.statuses.back(), "cURL error: Maximum file size exceeded\n");
}

// The end of the process cancels a download that a server holds open; the
// cancelled download ends quietly, and so does any text fetch after it.
TEST_F(HostileServerTest, CancelEndsAHeldDownloadWithinASecond) {
    m_server.AddStallingRoute("/held/release.zip", "P");
    enginetest::RecordingPublisher window;
    SelectBranch({"beta", m_server.Url("/held/release.zip"), 4096, "notes", "2.0"}, "beta");
    StartUpdate();
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (window.Progress().size() < 2 && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    ASSERT_EQ(window.Progress().size(), 2u) << "the first byte did not arrive";

    auto start = std::chrono::steady_clock::now();
    CancelTransfers();
    ASSERT_EQ(g_updateState.downloadResult.wait_for(std::chrono::seconds(5)), std::future_status::ready);
    auto took = std::chrono::steady_clock::now() - start;
    EXPECT_LT(took, std::chrono::milliseconds(1100))
        << std::chrono::duration_cast<std::chrono::milliseconds>(took).count() << " ms";
    PollUpdateJobs();
    EXPECT_FALSE(g_updateState.updateInProgress.load());
    EXPECT_FALSE(g_updateState.extractionResult.valid());
    EXPECT_EQ(window.Statuses().size(), 1u) << "a cancel is not reported as a failure";

    EXPECT_EQ(DownloadString(m_server.Url("/rel/updater").c_str()), "");
    EXPECT_TRUE(Boxes().empty());

    ResetTransferCancel();
    ExpectNextUpdateWorks();
}

// A server that keeps sending a byte now and then never trips the stall
// time-out; the text fetch's overall limit ends it.
TEST_F(HostileServerTest, TricklingManifestEndsAtTheOverallLimit) {
    m_server.Routes().Get("/trickle.json", [](const httplib::Request&, httplib::Response& response) {
        response.set_chunked_content_provider("application/json", [](std::size_t offset, httplib::DataSink& sink) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            return offset < 300 && sink.write(" ", 1);
        });
    });
    SetStringTimeoutSeconds(1);
    std::string failure;
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(DownloadString(m_server.Url("/trickle.json").c_str(), &failure), "");
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
    EXPECT_EQ(failure, "DownloadString error: Timeout was reached");
    EXPECT_TRUE(Boxes().empty());
}

}  // namespace
