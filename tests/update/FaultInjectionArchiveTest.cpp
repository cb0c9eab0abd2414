// Faults in what arrives: damaged central directories, truncated archives,
// members whose data does not match their checksum, and a disk that fills
// up while a member is written. Extraction stops at the first bad member;
// members before it are installed, the bad one keeps its old file whole,
// later ones are not written, and the archive stays for the next update to
// replace.
#include <gtest/gtest.h>

#include <cstdint>

#include "tests/update/FaultInjectionSupport.h"

using namespace update;
using enginetest::ArchiveMember;
using enginetest::ChildChannel;
using enginetest::UpdateOutcome;
using testsupport::ReadFile;
using testsupport::WriteFile;

namespace {

// Offsets into the zip records that the damage below rewrites.
constexpr std::size_t kEndRecordSize = 22;
constexpr std::size_t kEndDirectoryOffset = 16;
constexpr std::size_t kCentralEntrySize = 46;
constexpr std::size_t kCentralCrc = 16;
constexpr std::size_t kCentralNameLength = 28;
constexpr std::size_t kCentralExtraLength = 30;
constexpr std::size_t kCentralCommentLength = 32;
constexpr std::size_t kCentralLocalOffset = 42;
constexpr std::size_t kLocalCrc = 14;

std::uint32_t Read32(const std::string& bytes, std::size_t at) {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i) {
        value = (value << 8) | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
    }
    return value;
}

std::uint16_t Read16(const std::string& bytes, std::size_t at) {
    auto low = static_cast<unsigned char>(bytes[at]);
    auto high = static_cast<unsigned char>(bytes[at + 1]);
    return static_cast<std::uint16_t>(low | high << 8);
}

void Write32(std::string& bytes, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        bytes[at + static_cast<std::size_t>(i)] = static_cast<char>(value >> (8 * i));
    }
}

// Where the central directory entry of the named member begins.
std::size_t CentralEntryOf(const std::string& bytes, const std::string& name) {
    std::size_t at = Read32(bytes, bytes.size() - kEndRecordSize + kEndDirectoryOffset);
    while (at + kCentralEntrySize <= bytes.size() && bytes.compare(at, 4, "PK\1\2") == 0) {
        std::size_t nameLength = Read16(bytes, at + kCentralNameLength);
        if (bytes.compare(at + kCentralEntrySize, nameLength, name) == 0) {
            return at;
        }
        at += kCentralEntrySize + nameLength + Read16(bytes, at + kCentralExtraLength) +
              Read16(bytes, at + kCentralCommentLength);
    }
    ADD_FAILURE() << name << " has no central directory entry";
    return 0;
}

// A short text as it is, a long one (a torn or new member) by its size, so
// that a failure message stays readable.
std::string Described(const std::string& content) {
    return content.size() < 64 ? content : std::to_string(content.size()) + " bytes";
}

class ArchiveFaultTest : public enginetest::FaultInjectionTest {
protected:
    static constexpr const char* kBadPath = "/bad/release.zip";
    static constexpr const char* kBigMember = "maps/big.bsp";

    void SetUp() override {
        FaultInjectionTest::SetUp();
        WriteFile(Game(kBigMember), "old map");
        m_server.Routes().Get(kBadPath, [this](const httplib::Request&, httplib::Response& response) {
            enginetest::TestHttpServer::ServeInBlocks(response, m_served, 64 * 1024);
        });
    }

    // Three members; the middle one spans several read buffers, so writing
    // it over its old file in place would leave a torn file behind.
    static std::string ThreeMembers(zip_int32_t bigMethod = ZIP_CM_DEFLATE) {
        return enginetest::ZipBytes({{"game.cfg", "new config"},
                                     {kBigMember, enginetest::Noise(600 * 1024), bigMethod},
                                     {"readme.txt", "later member"}});
    }

    // One update of the damaged archive; it must reach the extraction and
    // fail there with the archive left as it arrived.
    void ExpectExtractionFails(const std::string& archive) {
        m_served = archive;
        UpdateOutcome outcome = RunUpdate(kBadPath);
        EXPECT_TRUE(outcome.ended);
        EXPECT_EQ(outcome.statuses, (std::vector<std::string>{"#Updater_P2", "#Updater_Unpacking", ExtractFailure()}));
        EXPECT_TRUE(ReadFile(Game(kArchiveName)) == archive) << "the archive was not left as it arrived";
        EXPECT_EQ(Described(ReadFile(Game(kBigMember))), "old map");
        EXPECT_FALSE(testsupport::PathExists(Game("readme.txt")));
        EXPECT_FALSE(testsupport::PathExists(Game("qlm.branch")));
        EXPECT_TRUE(enginetest::ReadyForNextAttempt());
    }

    // Nothing of the archive could be read: the game folder is as it was.
    void ExpectGameUntouched() {
        EXPECT_EQ(ReadFile(Game("game.cfg")), "old config");
        EXPECT_EQ(enginetest::Listing(m_game), (std::set<std::string>{"game.cfg", "maps/", kBigMember, kArchiveName}));
    }

    // The first member went in, the failing one kept its old file whole, and
    // no temporary file was left beside it.
    void ExpectStoppedAtTheBigMember() {
        EXPECT_EQ(ReadFile(Game("game.cfg")), "new config");
        EXPECT_EQ(enginetest::Listing(m_game), (std::set<std::string>{"game.cfg", "maps/", kBigMember, kArchiveName}));
    }

    void ExpectNextAttemptSucceeds() { FaultInjectionTest::ExpectNextAttemptSucceeds({kBigMember}); }

    std::string m_served;
};

TEST_F(ArchiveFaultTest, DamagedCentralDirectory) {
    {
        SCOPED_TRACE("entry signature destroyed: the archive does not open");
        std::string archive = ThreeMembers();
        archive[CentralEntryOf(archive, kBigMember)] = 'X';
        ExpectExtractionFails(archive);
        ExpectGameUntouched();
    }
    {
        SCOPED_TRACE("entry points at another member's data: refused before anything is written");
        std::string archive = ThreeMembers();
        Write32(archive, CentralEntryOf(archive, kBigMember) + kCentralLocalOffset, 0);
        ExpectExtractionFails(archive);
        ExpectGameUntouched();
    }
    ExpectNextAttemptSucceeds();
}

// Served with a length that matches, so the download succeeds and only the
// archive itself is short.
TEST_F(ArchiveFaultTest, TruncatedArchive) {
    std::string whole = ThreeMembers();
    std::size_t directory = Read32(whole, whole.size() - kEndRecordSize + kEndDirectoryOffset);
    for (std::size_t cut : {directory / 2, directory + (whole.size() - directory) / 2, whole.size() - 1}) {
        SCOPED_TRACE("cut at " + std::to_string(cut) + " of " + std::to_string(whole.size()));
        ExpectExtractionFails(whole.substr(0, cut));
        ExpectGameUntouched();
    }
    ExpectNextAttemptSucceeds();
}

// The recorded checksum, in both copies, no longer fits the data, which
// otherwise reads without error.
TEST_F(ArchiveFaultTest, MemberWithAWrongChecksum) {
    for (zip_int32_t method : {ZIP_CM_STORE, ZIP_CM_DEFLATE}) {
        SCOPED_TRACE(method == ZIP_CM_STORE ? "stored" : "deflated");
        std::string archive = ThreeMembers(method);
        std::size_t entry = CentralEntryOf(archive, kBigMember);
        std::uint32_t wrong = Read32(archive, entry + kCentralCrc) ^ 0x00010000u;
        Write32(archive, entry + kCentralCrc, wrong);
        Write32(archive, Read32(archive, entry + kCentralLocalOffset) + kLocalCrc, wrong);
        ExpectExtractionFails(archive);
        ExpectStoppedAtTheBigMember();
        WriteFile(Game("game.cfg"), "old config");
    }
    ExpectNextAttemptSucceeds();
}

std::string Joined(const std::set<std::string>& names) {
    std::string text;
    for (const std::string& name : names) {
        text += (text.empty() ? "" : " ") + name;
    }
    return text;
}

// The archive is small but a member inflates past the room on the disk:
// that member fails part-way and only its temporary file had grown.
TEST_F(ArchiveFaultTest, DiskFillsUpDuringTheExtraction) {
    constexpr rlim_t kRoom = 256 * 1024;
    m_served = enginetest::ZipBytes(
        {{"game.cfg", "new config"}, {kBigMember, std::string(2 << 20, 'b')}, {"readme.txt", "later member"}});
    ASSERT_LT(m_served.size(), kRoom);
    enginetest::ChildReport report = enginetest::RunInChild(
        [this](ChildChannel& channel) {
            enginetest::SendAttempt(channel, RunUpdate(kBadPath));
            channel.Send(Joined(enginetest::Listing(m_game)));
            channel.Send("game.cfg " + ReadFile(Game("game.cfg")));
            channel.Send("big " + Described(ReadFile(Game(kBigMember))));
            ChildChannel::LiftFileSizeLimit();
            enginetest::SendAttempt(channel, RunUpdate(kHealthyPath));
        },
        std::chrono::seconds(20), kRoom);
    EXPECT_EQ(report.exitCode, 0);
    EXPECT_EQ(report.lines,
              (std::vector<std::string>{"#Updater_P2", "#Updater_Unpacking", ExtractFailure(), "ended", "ready",
                                        ".qlm-download.zip game.cfg maps/ maps/big.bsp", "game.cfg new config", "big old map",
                                        "#Updater_P2", "#Updater_Unpacking", "#Updater_Success", "ended", "ready"}));
    ExpectHealthyInstall({kBigMember});
}

}  // namespace
