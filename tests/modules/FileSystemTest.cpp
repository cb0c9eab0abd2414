// The file-system service: search-path order and ids, reading and writing
// through path ids, "\" names, and the 260-byte limits.
#include <gtest/gtest.h>

#include <string>

#include "modules/updfs/FileSystemStdio.h"
#include "tests/support/TestSupport.h"

namespace {

using testsupport::ReadFile;
using testsupport::TempDir;
using testsupport::WriteFile;

std::string ReadAll(IFileSystem& fs, const char* name, const char* pathID) {
    FileHandle_t file = fs.Open(name, "rb", pathID);
    if (!file) {
        return "<none>";
    }
    std::string contents(fs.Size(file), '\0');
    int read = fs.Read(contents.data(), static_cast<int>(contents.size()), file);
    fs.Close(file);
    contents.resize(read > 0 ? static_cast<std::size_t>(read) : 0);
    return contents;
}

class FileSystemTest : public ::testing::Test {
protected:
    TempDir dir{true};
    CFileSystemStdio fs;
};

TEST_F(FileSystemTest, PathsOfOneIdAreSearchedInTheOrderAdded) {
    WriteFile(dir.File("first/both.txt"), "first");
    WriteFile(dir.File("second/both.txt"), "second");
    WriteFile(dir.File("second/only.txt"), "only");
    fs.AddSearchPath("first", "GAME");
    fs.AddSearchPath("second", "GAME");
    EXPECT_EQ(ReadAll(fs, "both.txt", "GAME"), "first");
    EXPECT_EQ(ReadAll(fs, "only.txt", "GAME"), "only");
    EXPECT_EQ(ReadAll(fs, "missing.txt", "GAME"), "<none>");
}

TEST_F(FileSystemTest, PathIdsSelectTheirPathsAndNullSearchesAll) {
    WriteFile(dir.File("resource/TrackerScheme.res"), "scheme");
    WriteFile(dir.File("platform/resource/TrackerScheme.res"), "platform scheme");
    fs.AddSearchPath(".", "ROOT");
    fs.AddSearchPath("platform", "PLATFORM");
    EXPECT_EQ(ReadAll(fs, "resource/TrackerScheme.res", "PLATFORM"), "platform scheme");
    EXPECT_EQ(ReadAll(fs, "resource/TrackerScheme.res", "ROOT"), "scheme");
    EXPECT_EQ(ReadAll(fs, "resource/TrackerScheme.res", nullptr), "scheme");
    EXPECT_EQ(ReadAll(fs, "resource/TrackerScheme.res", "platform"), "platform scheme") << "ids ignore case";
    EXPECT_EQ(ReadAll(fs, "resource/TrackerScheme.res", "OTHER"), "<none>");
}

TEST_F(FileSystemTest, RelativePathsAreTakenFromTheCurrentDirectoryWhenAdded) {
    WriteFile(dir.File("data.txt"), "here");
    fs.AddSearchPath(".", "ROOT");
    TempDir elsewhere(true);
    EXPECT_EQ(ReadAll(fs, "data.txt", "ROOT"), "here");
}

TEST_F(FileSystemTest, BackslashNamesReachTheDiskWithSlashes) {
    fs.AddSearchPath(".", "ROOT");
    WriteFile(dir.File("Updater/UpdaterFrame.res"), "layout");
    EXPECT_EQ(ReadAll(fs, "Updater\\UpdaterFrame.res", "ROOT"), "layout");
    ASSERT_TRUE(fs.CreateDirHierarchy("made\\deeper", "ROOT"));
    FileHandle_t file = fs.Open("made\\deeper\\out.txt", "wb", "ROOT");
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(fs.Write("abc", 3, file), 3);
    fs.Close(file);
    EXPECT_EQ(ReadFile(dir.File("made/deeper/out.txt")), "abc");
}

TEST_F(FileSystemTest, WritesGoToTheFirstPathOfTheId) {
    WriteFile(dir.File("a/.keep"), "");
    WriteFile(dir.File("b/.keep"), "");
    fs.AddSearchPath("a", "CFG");
    fs.AddSearchPath("b", "CFG");
    FileHandle_t file = fs.Open("new.txt", "wb", "CFG");
    ASSERT_NE(file, nullptr);
    fs.Write("x", 1, file);
    fs.Close(file);
    EXPECT_TRUE(testsupport::PathExists(dir.File("a/new.txt")));
    EXPECT_FALSE(testsupport::PathExists(dir.File("b/new.txt")));
    EXPECT_TRUE(fs.FileExists("new.txt", "CFG"));
}

TEST_F(FileSystemTest, LocalPathFindsTheFileThroughTheSearchPaths) {
    WriteFile(dir.File("game/release.zip"), "zip");
    fs.AddSearchPath("game", "GAME");
    char buffer[260];
    const char* path = fs.GetLocalPath("release.zip", buffer, sizeof(buffer));
    ASSERT_NE(path, nullptr);
    // In the system's own form, "\\" separating on Windows.
    std::filesystem::path expected = testsupport::PathOf(dir.Path()) / "game/release.zip";
    EXPECT_EQ(std::string(path), testsupport::Utf8(expected.make_preferred()));
    EXPECT_EQ(fs.GetLocalPath("absent.zip", buffer, sizeof(buffer)), nullptr);
    EXPECT_EQ(fs.GetLocalPath("game", buffer, sizeof(buffer)), nullptr) << "a folder is not a file";
}

TEST_F(FileSystemTest, PathsThatDoNotFitTheBufferAreRefused) {
    std::string base = dir.Path() + "/";
    std::string name = "f.bin";
    // Pads the folder so that the full path is exactly 259 bytes, the most
    // a 260-byte buffer holds.
    std::size_t padding = 259 - base.size() - 1 - name.size();
    std::string folder(padding, 'd');
    WriteFile(base + folder + "/" + name, "x");
    fs.AddSearchPath(folder.c_str(), "GAME");
    char buffer[260];
    const char* fits = fs.GetLocalPath(name.c_str(), buffer, sizeof(buffer));
    ASSERT_NE(fits, nullptr);
    EXPECT_EQ(std::string(fits).size(), 259u);

    std::string longerName = "fg.bin";
    WriteFile(base + folder + "/" + longerName, "x");
    char guard[300];
    std::fill(std::begin(guard), std::end(guard), '#');
    EXPECT_EQ(fs.GetLocalPath(longerName.c_str(), guard, 260), nullptr);
    EXPECT_EQ(guard[259], '#') << "nothing is written past the buffer";
}

TEST_F(FileSystemTest, CurrentDirectoryHonoursItsBuffer) {
    char buffer[260];
    ASSERT_TRUE(fs.GetCurrentDirectory(buffer, sizeof(buffer)));
    EXPECT_EQ(std::string(buffer), dir.Path());
    char tiny[4];
    EXPECT_FALSE(fs.GetCurrentDirectory(tiny, sizeof(tiny)));
}

TEST_F(FileSystemTest, ReadingAFileOpenedForReadingOnlyAndSizes) {
    WriteFile(dir.File("sized.bin"), std::string(1000, 's'));
    fs.AddSearchPath(".", "ROOT");
    FileHandle_t file = fs.Open("sized.bin", "rb", "ROOT");
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(fs.Size(file), 1000u);
    char chunk[600];
    EXPECT_EQ(fs.Read(chunk, 600, file), 600);
    EXPECT_EQ(fs.Read(chunk, 600, file), 400);
    EXPECT_EQ(fs.Write("x", 1, file), 0) << "a read-only stream takes no writes";
    fs.Close(file);
    EXPECT_EQ(fs.Open("", "rb", "ROOT"), nullptr);
    EXPECT_EQ(fs.Open(nullptr, "rb", "ROOT"), nullptr);
}

}  // namespace
