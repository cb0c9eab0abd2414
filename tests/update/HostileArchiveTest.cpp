// Archives and game folders made to hurt: entries that lie about their
// size, share or overlap their data, declare more than any disk holds or
// more entries than can be read safely, and links or read-only files
// planted in the game folder. Each case is unpacked through the engine and
// must end as stated, with nothing outside the game folder changed.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <zip.h>
#include <zlib.h>

#include <cctype>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>

#include "tests/support/FolderListing.h"
#include "tests/support/TestSupport.h"
#include "tests/update/EngineTestSupport.h"
#include "tests/update/RecordingPublisher.h"
#include "update/Extraction.h"
#include "update/ZipDirectoryScan.h"
#include "update/ZipMemberCopy.h"

using namespace update;
using testsupport::ReadFile;
using testsupport::WriteFile;
namespace fs = std::filesystem;

namespace {

constexpr std::uint16_t kStored = 0;
constexpr std::uint16_t kDeflated = 8;

// One directory entry of a crafted archive. Its data is written as given,
// with the sizes and checksum it declares; an entry that borrows another's
// data has no local header of its own and points at the other's.
struct Entry {
    std::string name;
    std::string data;
    std::uint16_t method = kStored;
    std::uint64_t size = 0;
    std::uint32_t crc = 0;
    std::optional<std::size_t> borrowsFrom;
    std::uint64_t borrowShift = 0;
    std::uint16_t commentLength = 0;
};

std::uint32_t Crc(const std::string& bytes) {
    return static_cast<std::uint32_t>(crc32_z(0, reinterpret_cast<const Bytef*>(bytes.data()), bytes.size()));
}

Entry Stored(const std::string& name, const std::string& content) {
    Entry entry;
    entry.name = name;
    entry.data = content;
    entry.size = content.size();
    entry.crc = Crc(content);
    return entry;
}

Entry Deflated(const std::string& name, const std::string& content) {
    z_stream stream{};
    deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    std::string packed(deflateBound(&stream, content.size()), '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(content.data()));
    stream.avail_in = static_cast<uInt>(content.size());
    stream.next_out = reinterpret_cast<Bytef*>(packed.data());
    stream.avail_out = static_cast<uInt>(packed.size());
    deflate(&stream, Z_FINISH);
    packed.resize(stream.total_out);
    deflateEnd(&stream);
    Entry entry = Stored(name, content);
    entry.data = packed;
    entry.method = kDeflated;
    return entry;
}

Entry Declaring(Entry entry, std::uint64_t size) {
    entry.size = size;
    return entry;
}

Entry Borrowing(const std::string& name, const std::vector<Entry>& entries, std::size_t from, std::uint64_t shift = 0) {
    Entry entry = entries[from];
    entry.name = name;
    entry.borrowsFrom = from;
    entry.borrowShift = shift;
    return entry;
}

void Put(std::string& out, std::uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out += static_cast<char>(value >> (8 * i));
    }
}

constexpr std::uint64_t kNeeds64 = 0xFFFFFFFFu;

std::string LocalHeader(const Entry& entry) {
    std::string header;
    Put(header, 0x04034b50, 4);
    Put(header, 45, 2);
    Put(header, 0, 2);
    Put(header, entry.method, 2);
    Put(header, 0, 2);
    Put(header, 0x21, 2);
    Put(header, entry.crc, 4);
    Put(header, entry.data.size(), 4);
    Put(header, std::min(entry.size, kNeeds64), 4);
    Put(header, entry.name.size(), 2);
    Put(header, 0, 2);
    return header + entry.name;
}

std::string CentralEntry(const Entry& entry, std::uint64_t localOffset) {
    std::string extra;
    if (entry.size >= kNeeds64) {
        Put(extra, 1, 2);
        Put(extra, 8, 2);
        Put(extra, entry.size, 8);
    }
    std::string header;
    Put(header, 0x02014b50, 4);
    Put(header, 45, 2);
    Put(header, 45, 2);
    Put(header, 0, 2);
    Put(header, entry.method, 2);
    Put(header, 0, 2);
    Put(header, 0x21, 2);
    Put(header, entry.crc, 4);
    Put(header, entry.data.size(), 4);
    Put(header, std::min(entry.size, kNeeds64), 4);
    Put(header, entry.name.size(), 2);
    Put(header, extra.size(), 2);
    Put(header, entry.commentLength, 2);
    Put(header, 0, 8);
    Put(header, localOffset, 4);
    return header + entry.name + extra + std::string(entry.commentLength, 'c');
}

std::string EndRecord(std::uint64_t count, std::uint64_t directorySize, std::uint64_t directoryOffset,
                      const std::string& comment = "") {
    std::string end;
    if (count > 0xFFFF) {
        std::uint64_t recordOffset = directoryOffset + directorySize;
        Put(end, 0x06064b50, 4);
        Put(end, 44, 8);
        Put(end, 45, 2);
        Put(end, 45, 2);
        Put(end, 0, 8);
        Put(end, count, 8);
        Put(end, count, 8);
        Put(end, directorySize, 8);
        Put(end, directoryOffset, 8);
        Put(end, 0x07064b50, 4);
        Put(end, 0, 4);
        Put(end, recordOffset, 8);
        Put(end, 1, 4);
    }
    Put(end, 0x06054b50, 4);
    Put(end, 0, 4);
    Put(end, std::min<std::uint64_t>(count, 0xFFFF), 2);
    Put(end, std::min<std::uint64_t>(count, 0xFFFF), 2);
    Put(end, directorySize, 4);
    Put(end, directoryOffset, 4);
    Put(end, comment.size(), 2);
    return end + comment;
}

std::string Archive(const std::vector<Entry>& entries) {
    std::string bytes;
    std::vector<std::uint64_t> offsets;
    for (const Entry& entry : entries) {
        if (entry.borrowsFrom) {
            offsets.push_back(offsets[*entry.borrowsFrom] + entry.borrowShift);
        } else {
            offsets.push_back(bytes.size());
            bytes += LocalHeader(entry) + entry.data;
        }
    }
    std::string directory;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        directory += CentralEntry(entries[i], offsets[i]);
    }
    std::uint64_t directoryOffset = bytes.size();
    return bytes + directory + EndRecord(entries.size(), directory.size(), directoryOffset);
}

// A second end record hidden in the comment of the first, pointing at the
// same directory: two readers may disagree on which one counts.
std::string WithSecondEndRecord(const std::vector<Entry>& entries) {
    std::string plain = Archive(entries);
    std::size_t endSize = 22;
    std::string head = plain.substr(0, plain.size() - endSize);
    std::uint64_t directoryOffset = plain.size() - endSize - CentralEntry(entries[0], 0).size();
    std::uint64_t directorySize = CentralEntry(entries[0], 0).size();
    std::string inner = EndRecord(1, directorySize, directoryOffset);
    return head + EndRecord(1, directorySize, directoryOffset, inner);
}

std::vector<Entry> ManyEntries(std::size_t count, std::uint16_t commentLength = 0) {
    std::vector<Entry> entries;
    entries.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        entries.push_back(Stored("e" + std::to_string(i), ""));
        entries.back().commentLength = commentLength;
    }
    return entries;
}

const std::string kNoise = [] {
    std::string bytes(4096, '\0');
    unsigned seed = 99;
    for (char& byte : bytes) {
        seed = seed * 1103515245u + 12345u;
        byte = static_cast<char>(seed >> 24);
    }
    return bytes;
}();

// What a case leaves in the game folder, the archive aside: each file with
// its content, each folder, each link with its target.
using GameContents = std::map<std::string, std::string>;

struct HostileCase {
    const char* name;
    std::function<std::string()> archive;
    std::function<void(const std::string& game, const std::string& outside)> plant;
    bool succeeds;
    GameContents gameAfter;
};

void NothingPlanted(const std::string&, const std::string&) {}

void PlantLink(const std::string& link, const std::string& target) { fs::create_symlink(target, link); }

const HostileCase kCases[] = {
    {"an honest archive, as control", [] { return Archive({Stored("a.txt", "alpha"), Deflated("d/b.txt", "beta")}); },
     NothingPlanted, true, {{"a.txt", "alpha"}, {"d", "<folder>"}, {"d/b.txt", "beta"}}},
    {"stored member declaring fewer bytes than it holds",
     [] { return Archive({Stored("first.txt", "ok"), Declaring(Stored("big.bin", std::string(1 << 20, 'x')), 10)}); },
     NothingPlanted, false, {{"first.txt", "ok"}}},
    {"deflated member inflating past its declared size",
     [] { return Archive({Stored("first.txt", "ok"), Declaring(Deflated("bomb.bin", std::string(16 << 20, 0)), 10)}); },
     NothingPlanted, false, {{"first.txt", "ok"}}},
    {"entry whose data lies inside another's",
     [] {
         std::vector<Entry> entries = {Stored("first.txt", kNoise)};
         entries.push_back(Borrowing("second.txt", entries, 0, 100));
         return Archive(entries);
     },
     NothingPlanted, false, {}},
    {"entries sharing one member's data",
     [] {
         std::vector<Entry> entries = {Deflated("kernel.bin", std::string(1 << 20, 'k'))};
         for (int i = 0; i < 8; ++i) {
             entries.push_back(Borrowing("copy" + std::to_string(i), entries, 0));
         }
         return Archive(entries);
     },
     NothingPlanted, false, {}},
    {"declared sizes beyond any disk",
     [] { return Archive({Stored("first.txt", "ok"), Declaring(Deflated("huge.bin", "tiny"), 1ull << 62)}); },
     NothingPlanted, false, {}},
    {"more entries than the limit", [] { return Archive(ManyEntries(kMaxArchiveEntries + 1)); }, NothingPlanted,
     false, {}},
    {"two end records", [] { return WithSecondEndRecord({Stored("first.txt", "ok")}); }, NothingPlanted, false, {}},
    {"folder link planted on the path",
     [] { return Archive({Stored("readme.txt", "new"), Stored("maps/de.bsp", "map")}); },
     [](const std::string& game, const std::string& outside) { PlantLink(game + "/maps", outside); }, false,
     {{"readme.txt", "new"}, {"maps", "-> outside"}}},
    {"folder link planted deeper, reached through a folder entry",
     [] { return Archive({Stored("maps/", ""), Stored("maps/de/", ""), Stored("maps/de/x.bsp", "map")}); },
     [](const std::string& game, const std::string& outside) {
         fs::create_directory(game + "/maps");
         PlantLink(game + "/maps/de", outside);
     },
     false, {{"maps", "<folder>"}, {"maps/de", "-> outside"}}},
    {"dangling folder link on the path", [] { return Archive({Stored("cfg/game.cfg", "new")}); },
     [](const std::string& game, const std::string& outside) { PlantLink(game + "/cfg", outside + "/created"); },
     false, {{"cfg", "-> outside/created"}}},
    {"link at the target is replaced, not followed", [] { return Archive({Stored("game.cfg", "new config")}); },
     [](const std::string& game, const std::string& outside) { PlantLink(game + "/game.cfg", outside + "/victim.txt"); },
     true, {{"game.cfg", "new config"}}},
    {"read-only target",
     [] { return Archive({Stored("first.txt", "ok"), Stored("locked.cfg", "new"), Stored("later.txt", "later")}); },
     [](const std::string& game, const std::string&) {
         WriteFile(game + "/locked.cfg", "old");
         chmod((game + "/locked.cfg").c_str(), 0444);
     },
     false, {{"first.txt", "ok"}, {"locked.cfg", "old"}}},
};

class HostileArchiveTest : public enginetest::EngineTest, public ::testing::WithParamInterface<HostileCase> {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        fs::create_directories(Game());
        WriteFile(Outside() + "/victim.txt", "not the updater's");
        m_previous = fs::current_path();
        fs::current_path(Game());
        TheFileSystem().AddSearchPath(".", "ROOT");
    }
    void TearDown() override {
        fs::current_path(m_previous);
        EngineTest::TearDown();
    }

    std::string Game() const { return m_sandbox.File("game"); }
    std::string Outside() const { return m_sandbox.File("outside"); }

    GameContents Contents() const {
        GameContents contents;
        for (const auto& entry : fs::recursive_directory_iterator(Game())) {
            std::string name = entry.path().lexically_relative(Game()).string();
            if (entry.is_symlink()) {
                contents[name] = "-> " + fs::read_symlink(entry.path()).lexically_relative(m_sandbox.Path()).string();
            } else if (entry.is_directory()) {
                contents[name] = "<folder>";
            } else if (name != "release.zip") {
                contents[name] = ReadFile(entry.path().string());
            }
        }
        return contents;
    }

    testsupport::TempDir m_sandbox;
    enginetest::RecordingPublisher m_publisher;

private:
    fs::path m_previous;
};

TEST_P(HostileArchiveTest, EndsAsStatedAndWritesNothingOutside) {
    const HostileCase& hostile = GetParam();
    WriteFile(Game() + "/release.zip", hostile.archive());
    hostile.plant(Game(), Outside());
    testsupport::FolderListing before = testsupport::ListFolder(m_sandbox.Path(), "game");

    EXPECT_EQ(ExtractArchive("release.zip"), hostile.succeeds);

    std::vector<std::string> texts;
    for (const enginetest::Publication& status : m_publisher.Statuses()) {
        texts.push_back(status.text);
    }
    EXPECT_EQ(texts, hostile.succeeds ? std::vector<std::string>{}
                                      : std::vector<std::string>{"Failed to extract " + Game() + "/release.zip.\n"});
    EXPECT_EQ(Contents(), hostile.gameAfter);
    EXPECT_EQ(testsupport::ListFolder(m_sandbox.Path(), "game"), before) << "changed outside the game folder";
}

INSTANTIATE_TEST_SUITE_P(Cases, HostileArchiveTest, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<HostileCase>& info) {
                             std::string name;
                             for (const char* c = info.param.name; *c; ++c) {
                                 name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
                             }
                             return name;
                         });

// A member that lies about its size must not get past the lie into the
// file: the copy stops with at most the declared bytes handed on.
TEST(HostileMemberCopy, StopsAtTheDeclaredSize) {
    for (const Entry& liar : {Declaring(Stored("s", std::string(1 << 20, 'x')), 10),
                              Declaring(Deflated("d", std::string(16 << 20, 0)), 10)}) {
        SCOPED_TRACE(liar.method == kStored ? "stored" : "deflated");
        testsupport::TempDir folder;
        WriteFile(folder.File("a.zip"), Archive({liar}));
        zip_t* archive = zip_open(folder.File("a.zip").c_str(), ZIP_RDONLY, nullptr);
        ASSERT_NE(archive, nullptr);
        zip_stat_t info;
        ASSERT_EQ(zip_stat_index(archive, 0, 0, &info), 0);
        std::uint64_t handedOn = 0;
        MemberBuffers buffers;
        ByteSink counter = [&handedOn](const unsigned char*, std::size_t size) {
            handedOn += size;
            return true;
        };
        EXPECT_FALSE(CopyMemberTo(archive, 0, info, counter, buffers));
        EXPECT_LE(handedOn, 10u);
        zip_discard(archive);
    }
}

// The most entries allowed still pass; one more, or a directory too large, does not.
TEST(HostileDirectoryScan, LimitsOnEntriesAndDirectorySizeAreExact) {
    testsupport::TempDir folder;
    auto scan = [&folder](const std::string& bytes) {
        WriteFile(folder.File("a.zip"), bytes);
        return ScanZipDirectory(folder.File("a.zip"));
    };
    std::optional<ZipDirectorySummary> most = scan(Archive(ManyEntries(kMaxArchiveEntries)));
    ASSERT_TRUE(most);
    EXPECT_EQ(most->entries, kMaxArchiveEntries);
    EXPECT_FALSE(scan(Archive(ManyEntries(kMaxArchiveEntries + 1))));
    // 1025 entries with the longest comments make a directory just above
    // its limit.
    EXPECT_FALSE(scan(Archive(ManyEntries(1025, 0xFFFF))));
}

}  // namespace
