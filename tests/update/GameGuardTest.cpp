#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "platform/Platform.h"
#include "tests/support/TestSupport.h"
#include "update/GameGuard.h"
#include "update/ProcessList.h"

using namespace update;
using testsupport::TempDir;
namespace fs = std::filesystem;

namespace {

int g_boxCount = 0;
std::string g_lastBox;

void CountBox(const char*, const char* text) {
    ++g_boxCount;
    g_lastBox = text;
}

// A real process: a copy of sleep under the game's name, ended and reaped
// when the test is done.
class RunningProgram {
public:
    explicit RunningProgram(const std::string& path) {
        fs::create_directories(fs::path(path).parent_path());
        fs::copy_file("/bin/sleep", path, fs::copy_options::overwrite_existing);
        m_pid = fork();
        if (m_pid == 0) {
            execl(path.c_str(), path.c_str(), "60", static_cast<char*>(nullptr));
            _exit(127);
        }
        // The guard reads /proc, so wait until the new image is in place.
        std::string exe = "/proc/" + std::to_string(m_pid) + "/exe";
        for (int i = 0; i < 2000 && fs::read_symlink(exe, m_error) != fs::path(path); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    ~RunningProgram() {
        kill(m_pid, SIGKILL);
        waitpid(m_pid, nullptr, 0);
    }
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;

private:
    pid_t m_pid = -1;
    std::error_code m_error;
};

class GameGuardTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_boxCount = 0;
        g_lastBox.clear();
        platform::SetErrorBoxHandler(CountBox);
    }
    void TearDown() override { platform::SetErrorBoxHandler(nullptr); }

    std::string OwnFolder() const { return OwnFolderOf(m_game.File("updater")); }

    TempDir m_game;
    TempDir m_elsewhere;
};

TEST(OwnFolder, KeepsTheSeparatorAndLowerCases) {
    EXPECT_EQ(OwnFolderOf("/Games/Quill/Updater"), "/games/quill/");
    EXPECT_EQ(OwnFolderOf("C:\\Games\\Quill\\updater.exe"), "c:\\games\\quill\\");
    EXPECT_EQ(OwnFolderOf("updater"), "");
    EXPECT_EQ(OwnFolderOf(OwnExecutablePath()), LowerCase(fs::path(OwnExecutablePath()).parent_path().string() + "/"));
}

TEST_F(GameGuardTest, NoGameRunningLetsTheUpdateProceedEvenWithAnUnwritableFile) {
    testsupport::WriteFile(m_game.File("hl.exe"), "not running");
    chmod(m_game.File("hl.exe").c_str(), 0444);
    EXPECT_FALSE(GameProcessGuardFor(OwnFolder()));
    EXPECT_EQ(g_boxCount, 0);
}

TEST_F(GameGuardTest, GameFromAnotherFolderIsIgnored) {
    RunningProgram game(m_elsewhere.File("hl.exe"));
    EXPECT_FALSE(GameProcessGuardFor(OwnFolder()));
    EXPECT_EQ(g_boxCount, 0);
}

TEST_F(GameGuardTest, RunningGameFromOwnFolderRefusesWithOneBox) {
    RunningProgram game(m_game.File("hl.exe"));
    EXPECT_TRUE(GameProcessGuardFor(OwnFolder()));
    EXPECT_EQ(g_boxCount, 1);
    EXPECT_EQ(g_lastBox, kGuardRefusalText);
}

TEST_F(GameGuardTest, GameFromASubfolderAndInCapitalsCounts) {
    RunningProgram game(m_game.File("bin/HL.EXE"));
    EXPECT_TRUE(GameProcessGuardFor(OwnFolder()));
    EXPECT_EQ(g_boxCount, 1);
}

TEST_F(GameGuardTest, OnlyTheFirstMatchingGameIsExaminedAndTheBoxShownOnce) {
    RunningProgram first(m_game.File("hl.exe"));
    RunningProgram second(m_game.File("other/hl.exe"));
    EXPECT_TRUE(GameProcessGuardFor(OwnFolder()));
    EXPECT_EQ(g_boxCount, 1);
}

TEST_F(GameGuardTest, OtherProgramsFromOwnFolderAreIgnored) {
    RunningProgram game(m_game.File("hl.exe.bak"));
    RunningProgram other(m_game.File("server"));
    EXPECT_FALSE(GameProcessGuardFor(OwnFolder()));
    EXPECT_EQ(g_boxCount, 0);
}

TEST_F(GameGuardTest, ProductGuardLooksAtTheUpdatersOwnFolder) {
    // The test binary's folder holds no game, whatever runs elsewhere.
    RunningProgram game(m_game.File("hl.exe"));
    EXPECT_FALSE(GameProcessGuard());
    EXPECT_EQ(g_boxCount, 0);
}

}  // namespace
