// The real updater.exe when its folder is incomplete: the person sees the
// failure in a box with the updater's caption (the line on standard error
// too), and the program ends with exit code 1 once the box is answered.
// The folder's name holds letters outside ASCII and a space, as a German
// game folder may.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "tests/support/TestSupport.h"
#include "tests/windows/WindowsProcess.h"

namespace fs = std::filesystem;

namespace {

struct MissingPiece {
    const char* name;
    const char* removed;  // below the updater's folder
    const char* text;
};

const MissingPiece kMissingPieces[] = {
    {"FileSystemModule", "updfs.dll", "Failed to load module updfs. Exiting..."},
    {"GuiModule", "updvgui2.dll", "Failed to load module updvgui2. Exiting..."},
    {"Scheme", "platform/resource/TrackerScheme.res",
     "Failed to load scheme \"platform/resource/TrackerScheme.res\". Exiting..."},
};

class UpdaterStart : public testing::TestWithParam<MissingPiece> {};

TEST_P(UpdaterStart, ShowsTheFailureThenExitsOne) {
    testsupport::TempDir temp;
    fs::path folder = testsupport::PathOf(temp.Path()) / testsupport::PathOf("Spiel Über");
    fs::copy(testsupport::PathOf(std::getenv("UPD_STAGE_DIR")), folder, fs::copy_options::recursive);
    ASSERT_TRUE(fs::remove(folder / testsupport::PathOf(GetParam().removed)));

    wintest::RunResult run =
        wintest::RunAnsweringBoxes(testsupport::Utf8(folder / "updater.exe"), std::chrono::seconds(60));

    EXPECT_EQ(run.exitCode, 1);
    ASSERT_EQ(run.boxes.size(), 1u);
    EXPECT_EQ(run.boxes[0].caption, "Updater");
    EXPECT_EQ(run.boxes[0].text, GetParam().text);
    EXPECT_EQ(run.standardError, std::string("Updater: ") + GetParam().text + "\n");
}

INSTANTIATE_TEST_SUITE_P(Updater, UpdaterStart, testing::ValuesIn(kMissingPieces),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
