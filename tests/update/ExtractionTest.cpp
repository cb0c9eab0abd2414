#include <gtest/gtest.h>
#include <sys/stat.h>
#include <zip.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "modules/updfs/FileSystemStdio.h"
#include "tests/support/TestSupport.h"
#include "tests/update/EngineTestSupport.h"
#include "tests/update/RecordingPublisher.h"
#include "update/Extraction.h"

using namespace update;
using enginetest::Publication;
using testsupport::PathExists;
using testsupport::ReadFile;
using testsupport::TempDir;
using testsupport::WriteFile;
namespace fs = std::filesystem;

namespace {

struct Member {
    std::string name;
    std::string content;
    bool directory = false;
    zip_int32_t method = ZIP_CM_DEFLATE;
    time_t mtime = 0;
    const char* password = nullptr;
};

// Writes an archive with libzip, names exactly as given.
void MakeZip(const std::string& path, const std::vector<Member>& members) {
    int error = 0;
    zip_t* archive = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    ASSERT_NE(archive, nullptr);
    for (const Member& member : members) {
        zip_int64_t index;
        if (member.directory) {
            index = zip_dir_add(archive, member.name.c_str(), ZIP_FL_ENC_RAW);
        } else {
            char* copy = static_cast<char*>(std::malloc(member.content.size() + 1));
            member.content.copy(copy, member.content.size());
            zip_source_t* source = zip_source_buffer(archive, copy, member.content.size(), 1);
            index = zip_file_add(archive, member.name.c_str(), source, ZIP_FL_ENC_RAW | ZIP_FL_OVERWRITE);
            zip_set_file_compression(archive, static_cast<zip_uint64_t>(index), member.method, 0);
        }
        ASSERT_GE(index, 0) << zip_strerror(archive);
        if (member.password) {
            ASSERT_EQ(zip_file_set_encryption(archive, static_cast<zip_uint64_t>(index), ZIP_EM_TRAD_PKWARE,
                                              member.password),
                      0);
        }
        if (member.mtime != 0) {
            zip_file_set_mtime(archive, static_cast<zip_uint64_t>(index), member.mtime, 0);
        }
    }
    ASSERT_EQ(zip_close(archive), 0);
}

int RunCommand(const std::string& command) { return std::system(command.c_str()); }

time_t ModificationTime(const std::string& path) {
    struct stat info {};
    stat(path.c_str(), &info);
    return info.st_mtime;
}

// Every file below the folder, relative, so a test can see that nothing else
// (no temporary file) was left behind.
std::set<std::string> Listing(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        names.insert(fs::relative(entry.path(), folder).string() + (entry.is_directory() ? "/" : ""));
    }
    return names;
}

class ExtractionTest : public enginetest::EngineTest {
protected:
    std::string Archive() const { return m_work.File("update.zip"); }
    bool Unpack() { return UnpackArchive(Archive().c_str(), m_game.Path().c_str()); }

    TempDir m_work;
    TempDir m_game;
};

TEST_F(ExtractionTest, ToolMadeArchiveWithFoldersNestedPathsAndBothMethods) {
#ifdef _WIN32
    GTEST_SKIP() << "the zip tool runs on the build machine, not under Windows";
#endif
    std::string source = m_work.File("src");
    WriteFile(source + "/top.txt", "top level");
    WriteFile(source + "/maps/de/level.bsp", std::string(100000, 'm'));
    WriteFile(source + "/bin/FileSystem_Stdio.so", "module");
    fs::create_directories(source + "/empty/inner");
    ASSERT_EQ(RunCommand("cd " + source + " && zip -qr " + Archive() + " top.txt maps empty && zip -q0r " + Archive() +
                  " bin"),
              0);

    ASSERT_TRUE(Unpack());
    EXPECT_EQ(ReadFile(m_game.File("top.txt")), "top level");
    EXPECT_EQ(ReadFile(m_game.File("maps/de/level.bsp")), std::string(100000, 'm'));
    EXPECT_EQ(ReadFile(m_game.File("bin/FileSystem_Stdio.so")), "module");
    EXPECT_TRUE(fs::is_directory(m_game.File("empty/inner")));
    EXPECT_EQ(Listing(m_game.Path()),
              (std::set<std::string>{"top.txt", "maps/", "maps/de/", "maps/de/level.bsp", "bin/",
                                     "bin/FileSystem_Stdio.so", "empty/", "empty/inner/"}));
}

TEST_F(ExtractionTest, MembersWithoutFolderEntriesAndBackslashNamesLandBelowTheDestination) {
    MakeZip(Archive(), {{"a/b/c.txt", "deep"}, {"cfg\\game.cfg", "windows name"}, {"dir/", "", true}});
    ASSERT_TRUE(Unpack());
    EXPECT_EQ(ReadFile(m_game.File("a/b/c.txt")), "deep");
    EXPECT_EQ(ReadFile(m_game.File("cfg/game.cfg")), "windows name");
    EXPECT_TRUE(fs::is_directory(m_game.File("dir")));
}

TEST_F(ExtractionTest, DestinationWithTrailingSeparatorGetsNoSecond) {
    MakeZip(Archive(), {{"file.txt", "x"}});
    std::string destination = m_game.Path() + "/";
    ASSERT_TRUE(UnpackArchive(Archive().c_str(), destination.c_str()));
    EXPECT_EQ(ReadFile(m_game.File("file.txt")), "x");
}

TEST_F(ExtractionTest, OverwritesExistingFilesWithContentTimeAndKeptPermissions) {
    WriteFile(m_game.File("hl.exe"), "the old game executable, longer than the new one");
#ifndef _WIN32
    chmod(m_game.File("hl.exe").c_str(), 0750);
#endif
    WriteFile(m_game.File("readme.txt"), "old");
    time_t stamp = 1600000000;
    MakeZip(Archive(), {{"hl.exe", "new", false, ZIP_CM_STORE, stamp}, {"readme.txt", "new text", false,
                                                                          ZIP_CM_DEFLATE, stamp + 3600}});
    ASSERT_TRUE(Unpack());
    EXPECT_EQ(ReadFile(m_game.File("hl.exe")), "new");
    EXPECT_EQ(ReadFile(m_game.File("readme.txt")), "new text");
    // DOS times have two-second steps.
    EXPECT_NEAR(static_cast<double>(ModificationTime(m_game.File("hl.exe"))), static_cast<double>(stamp), 2.0);
    EXPECT_NEAR(static_cast<double>(ModificationTime(m_game.File("readme.txt"))), static_cast<double>(stamp + 3600),
                2.0);
#ifndef _WIN32
    struct stat info {};
    stat(m_game.File("hl.exe").c_str(), &info);
    EXPECT_EQ(info.st_mode & 0777, 0750u);
#endif
}

// A library the game has mapped must keep its old pages: the member goes to
// a new file that replaces the old name, the old file itself is not touched.
// Windows replaces no file that is open elsewhere: there the member fails
// as a locked one, and the old file stays whole.
TEST_F(ExtractionTest, ReplacedFileIsANewFileNotAnOverwrittenOne) {
#ifdef _WIN32
    constexpr bool kOpenFileReplaceable = false;
#else
    constexpr bool kOpenFileReplaceable = true;
#endif
    WriteFile(m_game.File("lib.so"), "old library");
    std::ifstream stillOpen(m_game.File("lib.so"));
    MakeZip(Archive(), {{"lib.so", "new library, different"}});
    EXPECT_EQ(Unpack(), kOpenFileReplaceable);
    std::string seenThroughOldHandle((std::istreambuf_iterator<char>(stillOpen)), std::istreambuf_iterator<char>());
    EXPECT_EQ(seenThroughOldHandle, "old library");
    EXPECT_EQ(ReadFile(m_game.File("lib.so")), kOpenFileReplaceable ? "new library, different" : "old library");
    EXPECT_EQ(Listing(m_game.Path()), std::set<std::string>{"lib.so"});
}

TEST_F(ExtractionTest, CorruptMemberFailsWithoutLeavingAPartialFile) {
    std::string payload = "PAYLOAD-" + std::string(5000, 'p');
    MakeZip(Archive(), {{"good.txt", "fine", false, ZIP_CM_STORE}, {"bad.txt", payload, false, ZIP_CM_STORE},
                        {"later.txt", "never", false, ZIP_CM_STORE}});
    std::string bytes = ReadFile(Archive());
    std::size_t at = bytes.find("PAYLOAD-");
    ASSERT_NE(at, std::string::npos);
    bytes[at + 100] = 'X';
    WriteFile(Archive(), bytes);
    WriteFile(m_game.File("bad.txt"), "previous");

    EXPECT_FALSE(Unpack());
    EXPECT_EQ(ReadFile(m_game.File("good.txt")), "fine");
    EXPECT_EQ(ReadFile(m_game.File("bad.txt")), "previous");
    EXPECT_FALSE(PathExists(m_game.File("later.txt")));
    EXPECT_EQ(Listing(m_game.Path()), (std::set<std::string>{"good.txt", "bad.txt"}));
}

// Text and noise in turn, larger than one read buffer, so that a member
// takes several rounds of reading, inflating and writing.
std::string LargeContent() {
    std::string content;
    unsigned seed = 12345;
    for (int block = 0; content.size() < (3u << 20); ++block) {
        for (int i = 0; i < 100000; ++i) {
            seed = seed * 1103515245u + 12345u;
            content += block % 2 ? static_cast<char>(seed >> 24) : "abcdefgh \n"[(seed >> 16) % 10];
        }
    }
    return content;
}

TEST_F(ExtractionTest, LargeMembersOfEveryMethodArriveWhole) {
    std::string content = LargeContent();
    std::vector<Member> members = {{"stored.bin", content, false, ZIP_CM_STORE}, {"deflated.bin", content}};
    if (zip_compression_method_supported(ZIP_CM_BZIP2, 1)) {
        members.push_back({"bzip2.bin", content, false, ZIP_CM_BZIP2});
    }
    MakeZip(Archive(), members);
    ASSERT_TRUE(Unpack());
    for (const Member& member : members) {
        EXPECT_TRUE(ReadFile(m_game.File(member.name)) == content) << member.name;
    }
}

TEST_F(ExtractionTest, DamagedDeflatedMemberFails) {
    std::string content = LargeContent();
    MakeZip(Archive(), {{"data.bin", content}});
    zip_t* archive = zip_open(Archive().c_str(), ZIP_RDONLY, nullptr);
    zip_stat_t info;
    zip_stat_index(archive, 0, 0, &info);
    zip_discard(archive);
    std::string bytes = ReadFile(Archive());
    // The member's data follows its 30-byte local header and its name.
    std::size_t middle = 30 + std::string("data.bin").size() + static_cast<std::size_t>(info.comp_size) / 2;
    bytes[middle] = static_cast<char>(bytes[middle] ^ 0x55);
    WriteFile(Archive(), bytes);
    EXPECT_FALSE(Unpack());
    EXPECT_TRUE(Listing(m_game.Path()).empty());
}

TEST_F(ExtractionTest, EncryptedMemberFails) {
    MakeZip(Archive(), {{"secret.txt", "hidden", false, ZIP_CM_DEFLATE, 0, "password"}});
    EXPECT_FALSE(Unpack());
    EXPECT_FALSE(PathExists(m_game.File("secret.txt")));
    EXPECT_TRUE(Listing(m_game.Path()).empty());
}

TEST_F(ExtractionTest, NamesThatClimbOutOfTheGameFolderFailAndWriteNothingOutside) {
    const char* hostile[] = {"../escaped.txt", "maps/../../escaped.txt", "/tmp/escaped-absolute.txt",
                             "\\escaped.txt", "..\\escaped.txt", "C:escaped.txt", "c:/escaped.txt", ".."};
    for (const char* name : hostile) {
        SCOPED_TRACE(name);
        MakeZip(Archive(), {{"first.txt", "ok"}, {name, "evil"}});
        EXPECT_FALSE(Unpack());
        EXPECT_FALSE(PathExists(m_work.File("escaped.txt")));
        EXPECT_FALSE(PathExists((fs::path(m_game.Path()).parent_path() / "escaped.txt").string()));
        EXPECT_FALSE(PathExists("/tmp/escaped-absolute.txt"));
    }
    EXPECT_TRUE(IsSafeMemberName("maps/..data/x..y"));
    EXPECT_TRUE(IsSafeMemberName("a/./b"));
}

TEST_F(ExtractionTest, TargetPathsOf260CharactersOrMoreFail) {
    std::size_t base = m_game.Path().size() + 1;
    std::string fits = std::string(259 - base - 4, 'f') + ".txt";
    std::string tooLong = std::string(260 - base - 4, 'g') + ".txt";
    MakeZip(Archive(), {{fits, "fits"}});
    EXPECT_TRUE(Unpack());
    EXPECT_EQ(ReadFile(m_game.File(fits)), "fits");
    MakeZip(Archive(), {{tooLong, "too long"}});
    EXPECT_FALSE(Unpack());
    EXPECT_FALSE(PathExists(m_game.File(tooLong)));
}

TEST_F(ExtractionTest, NonArchivesAndMissingArchivesFail) {
    EXPECT_FALSE(Unpack());
    WriteFile(Archive(), "<html><body>404 Not Found</body></html>");
    EXPECT_FALSE(Unpack());
    EXPECT_TRUE(Listing(m_game.Path()).empty());
}

TEST_F(ExtractionTest, MemberOverAFolderFailsAndLaterMembersAreNotWritten) {
    fs::create_directories(m_game.File("taken/child"));
    MakeZip(Archive(), {{"taken", "file over folder"}, {"after.txt", "after"}});
    EXPECT_FALSE(Unpack());
    EXPECT_TRUE(fs::is_directory(m_game.File("taken/child")));
    EXPECT_FALSE(PathExists(m_game.File("after.txt")));
}

class ArchiveExtractionTest : public ExtractionTest {
protected:
    void SetUp() override {
        ExtractionTest::SetUp();
        m_previous = fs::current_path();
        fs::current_path(m_game.Path());
        TheFileSystem().AddSearchPath(".", "ROOT");
    }
    void TearDown() override {
        fs::current_path(m_previous);
        ExtractionTest::TearDown();
    }

    fs::path m_previous;
    enginetest::RecordingPublisher m_publisher;
};

TEST_F(ArchiveExtractionTest, ArchiveInTheGameFolderIsUnpackedSilently) {
    MakeZip(m_game.File("release.zip"), {{"maps/new.bsp", "map"}});
    EXPECT_TRUE(ExtractArchive("release.zip"));
    EXPECT_EQ(ReadFile(m_game.File("maps/new.bsp")), "map");
    EXPECT_TRUE(m_publisher.All().empty());
}

TEST_F(ArchiveExtractionTest, UnresolvedArchiveAndBrokenArchiveArePublished) {
    EXPECT_FALSE(ExtractArchive("absent.zip"));
    WriteFile(m_game.File("page.zip"), "<html>error page</html>");
    EXPECT_FALSE(ExtractArchive("page.zip"));

    std::vector<Publication> statuses = m_publisher.Statuses();
    ASSERT_EQ(statuses.size(), 2u);
    EXPECT_EQ(statuses[0].text, "Failed to resolve archive path.");
    // The path as the system writes it, with "\" on Windows.
    std::string archivePath = testsupport::Utf8(testsupport::PathOf(m_game.File("page.zip")).make_preferred());
    EXPECT_EQ(statuses[1].text, "Failed to extract " + archivePath + ".\n");
    for (const Publication& status : statuses) {
        EXPECT_TRUE(status.error);
        EXPECT_EQ(status.progress, 1.0f);
    }
}

TEST_F(ArchiveExtractionTest, MissingFileSystemServiceIsAFailureNotACrash) {
    vgui2::g_services.fileSystem = nullptr;
    EXPECT_FALSE(ExtractArchive("release.zip"));
    ASSERT_EQ(m_publisher.Statuses().size(), 1u);
    EXPECT_EQ(m_publisher.Statuses()[0].text, "Failed to resolve archive path.");
}

}  // namespace
