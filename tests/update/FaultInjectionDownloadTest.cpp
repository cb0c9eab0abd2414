// Faults on the way in: servers that drop, stall, loop or never end, and a
// disk that fills up while the archive arrives. A failed download leaves
// the game folder as it was; a partial archive cut by the network stays
// until the next update removes it, one stopped by the disk goes at once.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>

#include "tests/update/FaultInjectionSupport.h"
#include "update/EngineInit.h"
#include "update/Manifest.h"

using namespace update;
using enginetest::ChildChannel;
using enginetest::UpdateOutcome;
using testsupport::ReadFile;
namespace fs = std::filesystem;

namespace {

constexpr std::size_t kAnnounced = 300000;

std::size_t FileSize(const std::string& path) {
    std::error_code error;
    std::uintmax_t size = fs::file_size(path, error);
    return error ? 0 : static_cast<std::size_t>(size);
}

class DownloadFaultTest : public enginetest::FaultInjectionTest {
protected:
    // The failed attempt touched nothing in the game folder but its own
    // archive, which holds exactly what arrived.
    void ExpectOnlyThePartialArchive(std::size_t arrived) {
        EXPECT_EQ(ReadFile(Game("game.cfg")), "old config");
        EXPECT_EQ(enginetest::Listing(m_game), (std::set<std::string>{"game.cfg", kArchiveName}));
        EXPECT_EQ(FileSize(Game(kArchiveName)), arrived);
    }
};

TEST_F(DownloadFaultTest, ConnectionDroppedMidBody) {
    m_server.Routes().Get("/drop/release.zip", [](const httplib::Request&, httplib::Response& response) {
        response.set_content_provider(kAnnounced, "application/zip",
                                      [](std::size_t offset, std::size_t, httplib::DataSink& sink) {
                                          if (offset >= kAnnounced / 2) {
                                              return false;
                                          }
                                          std::string half(kAnnounced / 2, 'd');
                                          sink.write(half.data(), half.size());
                                          return true;
                                      });
    });
    UpdateOutcome outcome = RunUpdate("/drop/release.zip");
    EXPECT_TRUE(outcome.ended);
    EXPECT_EQ(outcome.statuses, (std::vector<std::string>{"#Updater_P2", "cURL error: Transferred a partial file\n"}));
    ExpectOnlyThePartialArchive(kAnnounced / 2);
    ExpectNextAttemptSucceeds();
}

// The transfer library averages the speed over its last few seconds, so
// every byte before the stall keeps the average up for a while: one byte
// lets the shortened stall time decide almost alone.
TEST_F(DownloadFaultTest, ServerThatStallsAfterPartOfTheBody) {
    m_server.Routes().Get("/stall/release.zip", [this](const httplib::Request&, httplib::Response& response) {
        response.set_content_provider(kAnnounced, "application/zip",
                                      [this](std::size_t offset, std::size_t, httplib::DataSink& sink) {
                                          if (offset > 0) {
                                              m_server.Hold(std::chrono::seconds(30));
                                              return false;
                                          }
                                          sink.write("P", 1);
                                          return true;
                                      });
    });
    SetStallTimeoutSeconds(1);
    auto start = std::chrono::steady_clock::now();
    UpdateOutcome outcome = RunUpdate("/stall/release.zip");
    EXPECT_TRUE(outcome.ended);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    EXPECT_EQ(outcome.statuses, (std::vector<std::string>{"#Updater_P2", "cURL error: Timeout was reached\n"}));
    ExpectOnlyThePartialArchive(1);
    ExpectNextAttemptSucceeds();
}

// Each answer is a fresh redirect, so only a limit on their number ends the
// loop; the server stops answering with redirects long after that limit, and
// the test then sees how far the transfer went.
TEST_F(DownloadFaultTest, RedirectLoopEndsAfterALimitedNumberOfHops) {
    constexpr int kServerGivesUpAfter = 2000;
    std::atomic<int> hops{0};
    m_server.Routes().Get(
        R"(/loop/(\d+)/release.zip)", [&hops](const httplib::Request& request, httplib::Response& response) {
            if (++hops > kServerGivesUpAfter) {
                response.set_content("the end of the loop", "application/zip");
                return;
            }
            response.set_redirect("/loop/" + std::to_string(std::stoi(request.matches[1]) + 1) + "/release.zip");
        });

    UpdateOutcome outcome = RunUpdate("/loop/0/release.zip");
    EXPECT_TRUE(outcome.ended);
    EXPECT_EQ(outcome.statuses,
              (std::vector<std::string>{"#Updater_P2", "cURL error: Number of redirects hit maximum amount\n"}));
    EXPECT_EQ(hops.load(), kMaxRedirects + 1);
    // Redirect answers carry no archive data: the file was opened and stays
    // empty.
    ExpectOnlyThePartialArchive(0);

    hops = 0;
    EXPECT_EQ(DownloadString(m_server.Url("/loop/0/release.zip").c_str()), "");
    EXPECT_EQ(Boxes(),
              (std::vector<std::string>{"Updater|DownloadString error: Number of redirects hit maximum amount"}));
    ExpectNextAttemptSucceeds();
}

// A manifest that never ends must not fill the updater's memory: the text
// transfer stops at its limit, and the manifest then counts as not fetched.
class EndlessManifestTest : public DownloadFaultTest {
protected:
    static constexpr std::size_t kServerGivesUpAfter = 256u << 20;

    void SetUp() override {
        DownloadFaultTest::SetUp();
        m_server.Routes().Get("/endless.json", [this](const httplib::Request&, httplib::Response& response) {
            response.set_chunked_content_provider("application/json", [this](std::size_t, httplib::DataSink& sink) {
                static const std::string kBlock = "{\"branches\":[" + std::string(64 * 1024 - 13, ' ');
                if (m_served.load() >= kServerGivesUpAfter || !sink.write(kBlock.data(), kBlock.size())) {
                    return false;
                }
                m_served += kBlock.size();
                return true;
            });
        });
        m_server.Routes().Get("/manifest.json", [](const httplib::Request&, httplib::Response& response) {
            response.set_content(R"({"branches":[{"name":"beta","version":"2.0"}]})", "application/json");
        });
    }

    std::atomic<std::size_t> m_served{0};
};

TEST_F(EndlessManifestTest, TextTransferStopsAtItsLimitAndTheNextFetchWorks) {
    EXPECT_EQ(DownloadString(m_server.Url("/endless.json").c_str()), "");
    EXPECT_EQ(Boxes(), (std::vector<std::string>{"Updater|DownloadString error: the response is larger than 16 MiB"}));
    // What the server managed to send before the updater hung up: the limit
    // plus what the sockets hold, far from the server's own end.
    EXPECT_GE(m_served.load(), kMaxStringBody);
    EXPECT_LT(m_served.load(), kMaxStringBody + (16u << 20));
    EXPECT_EQ(enginetest::Listing(m_game), (std::set<std::string>{"game.cfg"}));

    m_reporter.Clear();
    EXPECT_EQ(DownloadString(m_server.Url("/manifest.json").c_str()),
              R"({"branches":[{"name":"beta","version":"2.0"}]})");
    EXPECT_TRUE(Boxes().empty());
}

// Engine initialisation fails on a manifest it could not fetch: the failed
// request is reported first, the fatal text handed back for the caller to
// end the process with.
TEST_F(EndlessManifestTest, EngineInitialisationReportsTheFetchFailure) {
    testsupport::WriteFile(Game("qlm.uri"), m_server.Url("/endless.json") + "\n");
    EngineInitResult result = EngineInit();
    EXPECT_EQ(result.status, EngineInitStatus::Failed);
    EXPECT_STREQ(result.fatalText, "Failed to get update info.\n\nCheck your internet connection. Exiting...");
    EXPECT_EQ(Boxes(), (std::vector<std::string>{"Updater|DownloadString error: the response is larger than 16 MiB"}));
}

// The archive is larger than the disk allows: the download fails with the
// write error, the partial archive is removed so the disk is not left full,
// and once there is room the same process updates normally.
TEST_F(DownloadFaultTest, DiskFillsUpDuringTheDownload) {
    constexpr rlim_t kRoom = 256 * 1024;
    Serve("/big/release.zip", enginetest::ZipBytes({{"huge.pak", enginetest::Noise(1 << 20), ZIP_CM_STORE}}));
    enginetest::ChildReport report = enginetest::RunInChild(
        [this](ChildChannel& channel) {
            enginetest::SendAttempt(channel, RunUpdate("/big/release.zip"));
            channel.Send(testsupport::PathExists(Game(kArchiveName)) ? "archive left" : "archive removed");
            channel.Send("game.cfg " + ReadFile(Game("game.cfg")));
            ChildChannel::LiftFileSizeLimit();
            enginetest::SendAttempt(channel, RunUpdate(kHealthyPath));
        },
        std::chrono::seconds(20), kRoom);
    EXPECT_EQ(report.exitCode, 0);
    EXPECT_EQ(report.lines,
              (std::vector<std::string>{"#Updater_P2", "cURL error: Failed writing received data to disk/application\n",
                                        "ended", "ready", "archive removed", "game.cfg old config",
                                        "#Updater_P2", "#Updater_Unpacking", "#Updater_Success", "ended", "ready"}));
    ExpectHealthyInstall();
}

}  // namespace
