#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <set>
#include <thread>

#include "tests/support/TestSupport.h"
#include "tests/update/EngineTestSupport.h"
#include "tests/update/RecordingPublisher.h"
#include "tests/update/TestHttpServer.h"
#include "update/MessageFormat.h"
#include "update/Transfer.h"

using namespace update;
using enginetest::Publication;
using enginetest::TestHttpServer;
using testsupport::PathExists;
using testsupport::ReadFile;
using testsupport::TempDir;

namespace {

class TransferTest : public enginetest::EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        m_server.Routes().Get("/text", [this](const httplib::Request& request, httplib::Response& response) {
            m_userAgent = request.get_header_value("User-Agent");
            response.set_content("manifest body", "text/plain");
        });
        m_server.Routes().Get("/moved", [](const httplib::Request&, httplib::Response& response) {
            response.set_redirect("/text");
        });
        m_server.Routes().Get("/missing", [](const httplib::Request&, httplib::Response& response) {
            response.status = 404;
            response.set_content("<html>not here</html>", "text/html");
        });
    }
    void TearDown() override {
        SetStallTimeoutSeconds(kDefaultStallTimeoutSeconds);
        ResetTransferCancel();
        EngineTest::TearDown();
    }

    // Serves a body that is cut off after half of its announced length.
    void AddDroppingRoute(const std::string& path, std::size_t announced) {
        m_server.Routes().Get(path, [announced](const httplib::Request&, httplib::Response& response) {
            response.set_content_provider(announced, "application/zip",
                                          [announced](std::size_t offset, std::size_t, httplib::DataSink& sink) {
                                              if (offset >= announced / 2) {
                                                  return false;
                                              }
                                              std::string block(announced / 2, 'z');
                                              sink.write(block.data(), block.size());
                                              return true;
                                          });
        });
    }

    TempDir m_folder{true};
    TestHttpServer m_server;
    std::string m_userAgent;
    enginetest::RecordingPublisher m_publisher;
};

TEST_F(TransferTest, DownloadStringReturnsBodyFollowsRedirectsAndSendsUserAgent) {
    EXPECT_EQ(DownloadString(m_server.Url("/text").c_str()), "manifest body");
    EXPECT_EQ(m_userAgent, "QuillUpdater/1.0");
    EXPECT_EQ(DownloadString(m_server.Url("/moved").c_str()), "manifest body");
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(TransferTest, DownloadStringReturnsErrorPagesAsBodies) {
    EXPECT_EQ(DownloadString(m_server.Url("/missing").c_str()), "<html>not here</html>");
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(TransferTest, DownloadStringOfUnreachableAddressShowsOneBoxAndReturnsNothing) {
    std::string url = "http://127.0.0.1:" + std::to_string(enginetest::ClosedPort()) + "/m.json";
    EXPECT_EQ(DownloadString(url.c_str()), "");
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].rfind("Updater|DownloadString error: ", 0), 0u) << Boxes()[0];
    EXPECT_NE(Boxes()[0].find("connect"), std::string::npos) << Boxes()[0];

    // A caller off the GUI thread takes the text instead of a box.
    std::string failure;
    EXPECT_EQ(DownloadString(url.c_str(), &failure), "");
    EXPECT_EQ(Boxes().size(), 1u);
    EXPECT_EQ("Updater|" + failure, Boxes()[0]);
}

TEST_F(TransferTest, DownloadStringDropsAPartialBody) {
    AddDroppingRoute("/dropped", 2000);
    EXPECT_EQ(DownloadString(m_server.Url("/dropped").c_str()), "");
    EXPECT_EQ(Boxes().size(), 1u);
}

TEST_F(TransferTest, DownloadStringStopsAt16MiBInsteadOfFillingMemory) {
    m_server.Routes().Get("/huge", [](const httplib::Request&, httplib::Response& response) {
        TestHttpServer::ServeInBlocks(response, std::string(kMaxStringBody + 1, 'x'), 1 << 20);
    });
    m_server.Routes().Get("/limit", [](const httplib::Request&, httplib::Response& response) {
        TestHttpServer::ServeInBlocks(response, std::string(kMaxStringBody, 'y'), 1 << 20);
    });
    EXPECT_EQ(DownloadString(m_server.Url("/limit").c_str()).size(), kMaxStringBody);
    EXPECT_TRUE(Boxes().empty());
    EXPECT_EQ(DownloadString(m_server.Url("/huge").c_str()), "");
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_NE(Boxes()[0].find("16 MiB"), std::string::npos) << Boxes()[0];
}

TEST_F(TransferTest, StalledTransfersEndAsErrors) {
    m_server.AddStallingRoute("/stall", "PK");
    SetStallTimeoutSeconds(1);
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(DownloadString(m_server.Url("/stall").c_str()), "");
    EXPECT_FALSE(DownloadFile(m_server.Url("/stall").c_str(), "stalled.zip", 100));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
    EXPECT_EQ(Boxes().size(), 1u);
    std::vector<Publication> statuses = m_publisher.Statuses();
    ASSERT_EQ(statuses.size(), 1u);
    EXPECT_EQ(statuses[0].text, "cURL error: Timeout was reached\n");
    EXPECT_EQ(ReadFile("stalled.zip"), "PK");
}

TEST_F(TransferTest, FileDownloadPublishesStartAndEveryBlock) {
    m_server.Routes().Get("/archive.zip", [](const httplib::Request&, httplib::Response& response) {
        TestHttpServer::ServeInBlocks(response, std::string(1048576, 'a'), 262144);
    });
    ASSERT_TRUE(DownloadFile(m_server.Url("/archive.zip").c_str(), "archive.zip", 1048576));
    EXPECT_EQ(ReadFile("archive.zip"), std::string(1048576, 'a'));

    std::vector<Publication> all = m_publisher.All();
    ASSERT_GE(all.size(), 2u);
    EXPECT_EQ(all.front().text, "Downloading archive.zip");
    EXPECT_EQ(all.front().progress, 0.0f);
    EXPECT_EQ(all.back().text, "archive.zip: 1.00 of 1.00 MiB");
    EXPECT_EQ(all.back().progress, 1.0f);
    float previous = 0.0f;
    for (const Publication& publication : all) {
        EXPECT_FALSE(publication.status) << publication.text;
        EXPECT_GE(publication.progress, previous);
        previous = publication.progress;
    }
}

TEST_F(TransferTest, FractionIsCappedAndSizeZeroGivesOneAtOnce) {
    m_server.Routes().Get("/a.zip", [](const httplib::Request&, httplib::Response& response) {
        TestHttpServer::ServeInBlocks(response, std::string(3 * 65536, 'b'), 65536);
    });
    ASSERT_TRUE(DownloadFile(m_server.Url("/a.zip").c_str(), "a.zip", 0));
    std::vector<Publication> blocks = m_publisher.Progress();
    ASSERT_GE(blocks.size(), 2u);
    EXPECT_EQ(blocks[1].progress, 1.0f);
    EXPECT_NE(blocks[1].text.find("of 0.00 MiB"), std::string::npos) << blocks[1].text;

    enginetest::RecordingPublisher smaller;
    ASSERT_TRUE(DownloadFile(m_server.Url("/a.zip").c_str(), "a.zip", 65536));
    std::vector<Publication> capped = smaller.Progress();
    EXPECT_EQ(capped.back().progress, 1.0f);
    EXPECT_EQ(capped.back().text, "a.zip: 0.19 of 0.06 MiB");
}

TEST_F(TransferTest, TokensMissingFromTheServiceShowTheirNames) {
    m_localize.RemoveAll();
    ASSERT_TRUE(DownloadFile(m_server.Url("/text").c_str(), "m.zip", 0));
    std::vector<Publication> progress = m_publisher.Progress();
    ASSERT_EQ(progress.size(), 2u);
    EXPECT_EQ(progress[0].text, "#Updater_DownloadingFile");
    EXPECT_EQ(progress[1].text, "#Updater_DownloadingFile2");
}

TEST_F(TransferTest, ErrorPageIsSavedAsTheArchive) {
    EXPECT_TRUE(DownloadFile(m_server.Url("/missing").c_str(), "update.zip", 10));
    EXPECT_EQ(ReadFile("update.zip"), "<html>not here</html>");
}

TEST_F(TransferTest, DroppedConnectionFailsAndLeavesThePartialFile) {
    AddDroppingRoute("/dropped.zip", 200000);
    EXPECT_FALSE(DownloadFile(m_server.Url("/dropped.zip").c_str(), "dropped.zip", 200000));
    std::vector<Publication> statuses = m_publisher.Statuses();
    ASSERT_EQ(statuses.size(), 1u);
    EXPECT_EQ(statuses[0].text.rfind("cURL error: ", 0), 0u);
    EXPECT_EQ(statuses[0].text.back(), '\n');
    EXPECT_TRUE(statuses[0].error);
    EXPECT_EQ(statuses[0].progress, 1.0f);
    EXPECT_EQ(ReadFile("dropped.zip").size(), 100000u);
}

TEST_F(TransferTest, RefusedConnectionFails) {
    std::string url = "http://127.0.0.1:" + std::to_string(enginetest::ClosedPort()) + "/x.zip";
    EXPECT_FALSE(DownloadFile(url.c_str(), "x.zip", 1));
    std::vector<Publication> statuses = m_publisher.Statuses();
    ASSERT_EQ(statuses.size(), 1u);
    EXPECT_EQ(statuses[0].text, "cURL error: Couldn't connect to server\n");
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(TransferTest, UnwritableFileNameFailsBeforeTransfer) {
    for (const char* name : {"", "no-such-folder/a.zip"}) {
        enginetest::RecordingPublisher publisher;
        EXPECT_FALSE(DownloadFile(m_server.Url("/text").c_str(), name, 1));
        std::vector<Publication> statuses = publisher.Statuses();
        ASSERT_EQ(statuses.size(), 1u);
        EXPECT_EQ(statuses[0].text, "#Updater_FailedOpen");
        EXPECT_TRUE(statuses[0].error);
        EXPECT_EQ(statuses[0].progress, 1.0f);
        // What a failed update does next; the missing folder leaves nothing to look at.
        RemoveDownloadedFile(name);
    }
}

// /dev/full accepts the open and refuses every write with "no space". A
// short body fails only when the file is closed; a long one stops at the
// first write that fails instead of fetching the rest for nothing.
TEST_F(TransferTest, FullDiskEndsTheDownloadAsAnError) {
#ifdef _WIN32
    GTEST_SKIP() << "no Windows device refuses every write; under Wine the path reaches the host's own";
#endif
    constexpr std::size_t kLong = 16 << 20;
    m_server.Routes().Get("/big.zip", [](const httplib::Request&, httplib::Response& response) {
        TestHttpServer::ServeInBlocks(response, std::string(kLong, 'c'), 65536);
    });
    for (const char* path : {"/text", "/big.zip"}) {
        enginetest::RecordingPublisher publisher;
        EXPECT_FALSE(DownloadFile(m_server.Url(path).c_str(), "/dev/full", kLong)) << path;
        std::vector<Publication> statuses = publisher.Statuses();
        ASSERT_EQ(statuses.size(), 1u) << path;
        EXPECT_EQ(statuses[0].text, "cURL error: Failed writing received data to disk/application\n");
        EXPECT_LT(publisher.Progress().back().progress, 0.5f) << path;
    }
    EXPECT_TRUE(PathExists("/dev/full")) << "only a file the download wrote may be removed";
}

// A body may exceed its declared size by the allowance and not a byte more;
// an announced length cannot tell, so the bodies here come in chunks.
TEST_F(TransferTest, BodyMayExceedTheDeclaredSizeOnlyByTheAllowance) {
    constexpr std::uint32_t kDeclared = 100000;
    const std::uint64_t limit = DownloadSizeLimit(kDeclared);
    EXPECT_EQ(limit, kDeclared + (1u << 20) + kDeclared / 10);
    EXPECT_EQ(DownloadSizeLimit(0), 0u);
    for (std::uint64_t length : {limit, limit + 1}) {
        std::string path = "/chunked-" + std::to_string(length) + ".zip";
        m_server.Routes().Get(path, [length](const httplib::Request&, httplib::Response& response) {
            response.set_chunked_content_provider(
                "application/zip", [length](std::size_t offset, httplib::DataSink& sink) {
                    std::string block(std::min<std::uint64_t>(65536, length - offset), 'k');
                    sink.write(block.data(), block.size());
                    if (offset + block.size() == length) {
                        sink.done();
                    }
                    return true;
                });
        });
        enginetest::RecordingPublisher publisher;
        bool accepted = DownloadFile(m_server.Url(path).c_str(), "chunked.zip", kDeclared);
        EXPECT_EQ(accepted, length == limit) << length;
        if (accepted) {
            EXPECT_EQ(ReadFile("chunked.zip").size(), limit);
        } else {
            ASSERT_EQ(publisher.Statuses().size(), 1u);
            EXPECT_EQ(publisher.Statuses()[0].text, "cURL error: Maximum file size exceeded\n");
            EXPECT_FALSE(PathExists("chunked.zip")) << "the cut file stays on the disk";
        }
    }
}

TEST(TempFormat, RotatesThroughSixteenBuffersAndCutsLongTexts) {
    const char* first = TempFormat("%d", 1);
    std::set<const char*> buffers{first};
    for (int i = 2; i <= kMessageBufferCount; ++i) {
        buffers.insert(TempFormat("%d", i));
    }
    EXPECT_EQ(buffers.size(), static_cast<std::size_t>(kMessageBufferCount));
    EXPECT_STREQ(first, "1");
    EXPECT_EQ(TempFormat("%d", 17), first);

    std::string longText(5000, 'q');
    EXPECT_EQ(std::string(TempFormat("%s", longText.c_str())).size(), 1023u);
}

// Holds each of two threads until the other one arrives too. The Windows
// toolchain's std::barrier can miss a wake-up and hang for good.
class TwoThreadBarrier {
public:
    void arrive_and_wait() {
        std::unique_lock lock(m_mutex);
        unsigned round = m_round;
        if (++m_arrived == 2) {
            m_arrived = 0;
            ++m_round;
            m_passed.notify_all();
            return;
        }
        m_passed.wait(lock, [&] { return m_round != round; });
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_passed;
    int m_arrived = 0;
    unsigned m_round = 0;
};

// Two threads share one rotation of 16 calls per round: every caller must
// get its own buffer and find its text intact at the end of the round.
TEST(TempFormat, ConcurrentCallersNeverShareABuffer) {
    constexpr int kRounds = 500;
    constexpr int kCallsPerThread = kMessageBufferCount / 2;
    TwoThreadBarrier sync;
    std::atomic<int> damaged{0};
    std::vector<const char*> seen[2];
    auto worker = [&](int self) {
        for (int round = 0; round < kRounds; ++round) {
            sync.arrive_and_wait();
            const char* texts[kCallsPerThread];
            for (int i = 0; i < kCallsPerThread; ++i) {
                texts[i] = TempFormat("%d-%d-%d", self, round, i);
            }
            for (int i = 0; i < kCallsPerThread; ++i) {
                if (std::string(texts[i]) != std::to_string(self) + "-" + std::to_string(round) + "-" +
                                                 std::to_string(i)) {
                    ++damaged;
                }
            }
            seen[self].assign(texts, texts + kCallsPerThread);
            sync.arrive_and_wait();
            if (self == 0) {
                std::set<const char*> distinct(seen[0].begin(), seen[0].end());
                distinct.insert(seen[1].begin(), seen[1].end());
                if (distinct.size() != static_cast<std::size_t>(kMessageBufferCount)) {
                    ++damaged;
                }
            }
        }
    };
    std::thread other(worker, 1);
    worker(0);
    other.join();
    EXPECT_EQ(damaged.load(), 0);
}

}  // namespace
