#include "tests/e2e/WineFixture.h"

#include <unistd.h>

#include <atomic>
#include <filesystem>

namespace e2e {

namespace {

const std::string kPrefix = UPD_WINDOWS_BUILD_DIR "/wineprefix";
const std::string kDriveC = kPrefix + "/drive_c";

}  // namespace

const TargetSystem& WindowsSystem() {
    static const TargetSystem system{
        UPD_WINDOWS_BUILD_DIR,
        "updater.exe",
        "FileSystem_Stdio.dll",
        UPD_WINDOWS_BUILD_DIR "/scripts/demo/game_version.exe",
        {"/usr/bin/wine"},
        {"WINEPREFIX=" + kPrefix, "WINEDEBUG=-all", "WINEDLLOVERRIDES=mscoree,mshtml=;winemenubuilder.exe=d",
         "SDL_VIDEODRIVER=windows"}};
    return system;
}

void WineWindowTest::SetUp() {
    ASSERT_TRUE(testsupport::PathExists(kPrefix + "/system.reg")) << "no Wine prefix: run scripts/test-windows.sh";
    WindowTest::SetUp();
    static std::atomic<int> s_folders{0};
    m_demoRoot = kDriveC + "/Games/Spiel \xC3\x9C" "ber " + std::to_string(getpid()) + "-" +
                 std::to_string(++s_folders);
    std::filesystem::remove_all(m_demoRoot);
    std::filesystem::create_directories(m_demoRoot);
}

void WineWindowTest::TearDown() {
    WindowTest::TearDown();
    std::error_code ignored;
    std::filesystem::remove_all(m_demoRoot, ignored);
}

void WineWindowTest::StartGame(const std::string& relative) {
    std::filesystem::path game = std::filesystem::path(Game(relative)).lexically_normal();
    std::filesystem::create_directories(game.parent_path());
    std::filesystem::copy_file(UPD_WINDOWS_BUILD_DIR "/tests/hl.exe", game);
    ASSERT_TRUE(m_game.Start(m_system->Command({game.string()}), Environment(), "", m_root.File("game.log")));
}

std::string WineWindowTest::AnswerBox(int seconds) {
    std::string output;
    RunWindows({UPD_WINDOWS_BUILD_DIR "/tests/answer_box.exe", WindowsPath(m_demo.Game()), std::to_string(seconds)},
               &output);
    return output;
}

int WineWindowTest::RunWindows(const std::vector<std::string>& argv, std::string* output) {
    return e2e::Run(m_system->Command(argv), output, std::chrono::seconds(60), Environment());
}

std::string WineWindowTest::WindowsPath(const std::string& path) const {
    std::string windows = path.rfind(kDriveC + "/", 0) == 0 ? "C:" + path.substr(kDriveC.size()) : "Z:" + path;
    for (char& character : windows) {
        if (character == '/') {
            character = '\\';
        }
    }
    return windows;
}

}  // namespace e2e
