// The game guard against real running games on Windows: "hl.exe" running
// from the updater's folder or a folder below it holds its file, so the
// update is refused with the box; one from another folder, or none, lets it
// go ahead. Folder names carry letters outside ASCII and mixed case, as the
// guard compares paths without regard to case.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "tests/support/TestSupport.h"
#include "tests/update/RecordingReporter.h"
#include "tests/windows/WindowsProcess.h"
#include "update/GameGuard.h"

namespace fs = std::filesystem;

namespace {

struct GameAt {
    const char* name;
    const char* game;  // below the temporary folder; empty: no game runs
    bool refused;
};

const GameAt kGames[] = {
    {"InTheUpdatersFolder", "Spiel \xC3\x9C" "ber/hl.exe", true},
    {"InASubfolder", "Spiel \xC3\x9C" "ber/bin/hl.exe", true},
    {"InAnotherFolder", "Anderes Spiel/hl.exe", false},
    {"InAFolderWhoseNameStartsTheSame", "Spiel \xC3\x9C" "ber 2/hl.exe", false},
    {"NotRunning", "", false},
};

class WindowsGameGuard : public testing::TestWithParam<GameAt> {};

TEST_P(WindowsGameGuard, RefusesOnlyAGameRunningFromTheUpdatersFolder) {
    testsupport::TempDir temp;
    fs::path root = testsupport::PathOf(temp.Path());
    std::unique_ptr<wintest::RunningGame> game;
    if (*GetParam().game) {
        game = std::make_unique<wintest::RunningGame>(testsupport::Utf8(root / testsupport::PathOf(GetParam().game)));
        ASSERT_TRUE(game->Running());
    }
    std::string updater = testsupport::Utf8(root / testsupport::PathOf("SPIEL \xC3\x9C" "BER") / "updater.exe");

    enginetest::RecordingReporter boxes;
    EXPECT_EQ(update::GameProcessGuardFor(update::OwnFolderOf(updater)), GetParam().refused);
    if (GetParam().refused) {
        EXPECT_EQ(boxes.Boxes(), (std::vector<std::string>{std::string("Updater|") + update::kGuardRefusalText}));
    } else {
        EXPECT_TRUE(boxes.Boxes().empty());
    }
}

INSTANTIATE_TEST_SUITE_P(Games, WindowsGameGuard, testing::ValuesIn(kGames),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
