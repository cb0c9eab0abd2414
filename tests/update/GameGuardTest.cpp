#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <thread>
#include <vector>

#include "platform/Platform.h"
#include "tests/support/TestSupport.h"
#include "tests/update/RecordingReporter.h"
#include "update/GameGuard.h"
#include "platform/Process.h"

using namespace update;
using testsupport::TempDir;
namespace fs = std::filesystem;

namespace {

// A real process from a copy of sleep, started through a name that the
// system reports as its process name, with the command line, environment
// and working folder a test asks for. Ended and reaped when the test is done.
class RunningProgram {
public:
    struct Launch {
        std::string program;  // where the copy of sleep goes
        std::string runAs;    // started through this path (a link when it differs)
        std::string argv0;
        std::string workingFolder = "/";
        std::vector<std::string> environment;
    };

    explicit RunningProgram(const std::string& path) : RunningProgram(Launch{path, path, path, "/", {}}) {}

    explicit RunningProgram(const Launch& launch) {
        fs::create_directories(fs::path(launch.program).parent_path());
        fs::copy_file("/bin/sleep", launch.program, fs::copy_options::overwrite_existing);
        if (launch.runAs != launch.program) {
            fs::create_directories(fs::path(launch.runAs).parent_path());
            fs::create_symlink(launch.program, launch.runAs);
        }
        std::vector<char*> environment;
        for (const std::string& variable : launch.environment) {
            environment.push_back(const_cast<char*>(variable.c_str()));
        }
        environment.push_back(nullptr);
        char* argv[] = {const_cast<char*>(launch.argv0.c_str()), const_cast<char*>("60"), nullptr};
        m_pid = fork();
        if (m_pid == 0) {
            if (chdir(launch.workingFolder.c_str()) == 0) {
                execve(launch.runAs.c_str(), argv, environment.data());
            }
            _exit(127);
        }
        // The guard reads /proc, so wait until the new image is in place:
        // the system maps the file, names the process and sets up its
        // command line one after the other.
        std::string proc = "/proc/" + std::to_string(m_pid);
        std::string name = fs::path(launch.runAs).filename().string();
        std::error_code error;
        for (int i = 0; i < 2000; ++i) {
            if (fs::read_symlink(proc + "/exe", error) == fs::path(launch.program) &&
                testsupport::ReadFile(proc + "/comm") == name + "\n" &&
                testsupport::ReadFile(proc + "/cmdline").rfind(launch.argv0, 0) == 0) {
                break;
            }
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
};

class GameGuardTest : public ::testing::Test {
protected:
    std::string OwnFolder() const { return OwnFolderOf(m_game.File("updater")); }

    int BoxCount() const { return static_cast<int>(m_reporter.Boxes().size()); }

    TempDir m_game;
    TempDir m_elsewhere;
    enginetest::RecordingReporter m_reporter;
};

TEST(OwnFolder, KeepsTheSeparatorAndLowerCases) {
    EXPECT_EQ(OwnFolderOf("/Games/Quill/Updater"), "/games/quill/");
    EXPECT_EQ(OwnFolderOf("C:\\Games\\Quill\\updater.exe"), "c:\\games\\quill\\");
    EXPECT_EQ(OwnFolderOf("updater"), "");
    std::string own = platform::OwnExecutablePath();
    EXPECT_EQ(OwnFolderOf(own), LowerCase(fs::path(own).parent_path().string() + "/"));
}

TEST_F(GameGuardTest, NoGameRunningLetsTheUpdateProceedEvenWithAnUnwritableFile) {
    testsupport::WriteFile(m_game.File("hl.exe"), "not running");
    chmod(m_game.File("hl.exe").c_str(), 0444);
    EXPECT_FALSE(GameProcessGuardFor(OwnFolder()));
    EXPECT_EQ(BoxCount(), 0);
}

TEST_F(GameGuardTest, GameFromAnotherFolderIsIgnored) {
    RunningProgram game(m_elsewhere.File("hl.exe"));
    EXPECT_FALSE(GameProcessGuardFor(OwnFolder()));
    EXPECT_EQ(BoxCount(), 0);
}

TEST_F(GameGuardTest, RunningGameFromOwnFolderRefusesWithOneBox) {
    RunningProgram game(m_game.File("hl.exe"));
    EXPECT_TRUE(GameProcessGuardFor(OwnFolder()));
    EXPECT_EQ(BoxCount(), 1);
    EXPECT_EQ(m_reporter.Boxes().back(), std::string("Updater|") + kGuardRefusalText);
}

TEST_F(GameGuardTest, GameFromASubfolderAndInCapitalsCounts) {
    RunningProgram game(m_game.File("bin/HL.EXE"));
    EXPECT_TRUE(GameProcessGuardFor(OwnFolder()));
    EXPECT_EQ(BoxCount(), 1);
}

TEST_F(GameGuardTest, OnlyTheFirstMatchingGameIsExaminedAndTheBoxShownOnce) {
    RunningProgram first(m_game.File("hl.exe"));
    RunningProgram second(m_game.File("other/hl.exe"));
    EXPECT_TRUE(GameProcessGuardFor(OwnFolder()));
    EXPECT_EQ(BoxCount(), 1);
}

TEST_F(GameGuardTest, OtherProgramsFromOwnFolderAreIgnored) {
    RunningProgram game(m_game.File("hl.exe.bak"));
    RunningProgram other(m_game.File("server"));
    EXPECT_FALSE(GameProcessGuardFor(OwnFolder()));
    EXPECT_EQ(BoxCount(), 0);
}

TEST_F(GameGuardTest, ProductGuardLooksAtTheUpdatersOwnFolder) {
    // The test binary's folder holds no game, whatever runs elsewhere.
    RunningProgram game(m_game.File("hl.exe"));
    EXPECT_FALSE(GameProcessGuard());
    EXPECT_EQ(BoxCount(), 0);
}

// A game under a compatibility layer: the process is named after the game
// but runs the layer's loader, and its command line names the game in
// Windows form (through the drives of its prefix), Unix form or relative to
// its working folder. The layer's lock is invisible, so from our folder it
// always refuses.
class LayerGuardTest : public GameGuardTest {
protected:
    void SetUp() override {
        GameGuardTest::SetUp();
        m_prefix = fs::canonical(m_wine.Path()).string() + "/prefix";
        m_gameFolder = m_prefix + "/drive_c/Games/Quill";
        fs::create_directories(m_gameFolder);
        fs::create_directories(m_prefix + "/dosdevices");
        fs::create_directory_symlink("../drive_c", m_prefix + "/dosdevices/c:");
        fs::create_directories(m_wine.File("home/.wine/dosdevices"));
        fs::create_directory_symlink(m_prefix + "/drive_c", m_wine.File("home/.wine/dosdevices/c:"));
        testsupport::WriteFile(m_gameFolder + "/hl.exe", "MZ");
    }

    static std::string WindowsForm(std::string path) {
        std::replace(path.begin(), path.end(), '/', '\\');
        return "Z:" + path;
    }

    TempDir m_wine;
    std::string m_prefix;
    std::string m_gameFolder;
};

TEST_F(LayerGuardTest, GameFromOwnFolderUnderALayerRefusesWhateverFormItsPathTakes) {
    std::string elsewhere = fs::canonical(m_elsewhere.Path()).string();
    struct Case {
        const char* what;
        std::string processName;
        std::string argv0;
        std::string workingFolder;
        std::vector<std::string> environment;
        bool refused;
    };
    const Case cases[] = {
        {"drive Z", "hl.exe", WindowsForm(m_gameFolder + "/hl.exe"), "/", {}, true},
        {"drive C of WINEPREFIX", "hl.exe", "C:\\Games\\Quill\\hl.exe", "/", {"WINEPREFIX=" + m_prefix}, true},
        {"drive C of HOME's prefix", "hl.exe", "c:\\games\\quill\\hl.exe", "/", {"HOME=" + m_wine.File("home")},
         true},
        {"Unix form", "hl.exe", m_gameFolder + "/hl.exe", "/", {}, true},
        {"relative to the working folder", "hl.exe", "./hl.exe", m_gameFolder, {}, true},
        {"name in capitals", "HL.EXE", WindowsForm(m_gameFolder + "/bin/HL.EXE"), "/", {}, true},
        {"drive Z, another folder", "hl.exe", WindowsForm(elsewhere + "/hl.exe"), "/", {}, false},
        {"relative, another folder", "hl.exe", "hl.exe", elsewhere, {}, false},
        {"drive C without any prefix", "hl.exe", "C:\\Games\\Quill\\hl.exe", "/", {}, false},
    };
    std::string ownFolder = OwnFolderOf(m_gameFolder + "/updater");
    int run = 0;
    for (const Case& c : cases) {
        std::string loaderFolder = m_wine.File("layer" + std::to_string(run++));
        RunningProgram game({loaderFolder + "/wine64-preloader", loaderFolder + "/run/" + c.processName, c.argv0,
                             c.workingFolder, c.environment});
        m_reporter.Clear();
        EXPECT_EQ(GameProcessGuardFor(ownFolder), c.refused) << c.what;
        EXPECT_EQ(BoxCount(), c.refused ? 1 : 0) << c.what;
    }
}

}  // namespace
