// Every updater text of every shipped language, measured with the scheme's
// font, fits the control that shows it in the shipped layout: a text that is
// cut with "..." in some language is a defect a translator cannot see.
// Constructed texts are measured with realistic arguments. The quit box is
// not listed: it grows to fit its text and buttons.
#include <string>
#include <vector>

#include "modules/updvgui2/Localize.h"
#include "tests/modules/StagedSurfaceTest.h"
#include "vgui2/KeyValues.h"

using namespace vgui2;

namespace {

struct ShownText {
    const char* token;
    const char* control;  // the control's section in the layout file
    int margin;           // pixels of the control's width the text may not use
    std::vector<std::u16string> arguments;
};

// A button keeps its text inset clear on both sides; the frame's title runs
// from x 28 to 44 pixels short of the right edge.
constexpr int kButtonMargin = 2 * 6;
constexpr int kTitleMargin = 72;

const std::u16string kVersion = u"1.6.0-beta";
const std::u16string kArchive = u"quillmere-1.6.0-beta.zip";

const std::vector<ShownText> kShownTexts = {
    {"Updater_Title", "CUpdaterFrame", kTitleMargin, {}},
    {"Updater_Branch", "BranchLabel", 0, {}},
    {"Updater_Button", "UpdateButton", kButtonMargin, {}},
    {"Updater_Update", "UpdateButton", kButtonMargin, {}},
    {"Updater_Stop", "UpdateButton", kButtonMargin, {}},
    {"Updater_Changelog", "ChangelogButton", kButtonMargin, {}},
    {"Updater_CurrentVersion", "CurrentVersionLabel", 0, {kVersion}},
    {"Updater_RemoteVersion", "RemoteVersionLabel", 0, {kVersion}},
    {"Updater_StatusLabel", "StatusLabel", 0, {}},
    {"Updater_StatusUpToDate", "StatusLabel", 0, {}},
    {"Updater_StatusAvailableUpdate", "StatusLabel", 0, {}},
    {"Updater_P1", "UpdateStatusLabel", 0, {}},
    {"Updater_P2", "UpdateStatusLabel", 0, {}},
    {"Updater_DownloadingFile", "UpdateStatusLabel", 0, {kArchive}},
    {"Updater_DownloadingFile2", "UpdateStatusLabel", 0, {kArchive, u"118.27", u"245.90"}},
    {"Updater_FailedCurl", "UpdateStatusLabel", 0, {}},
    {"Updater_FailedOpen", "UpdateStatusLabel", 0, {}},
    {"Updater_Unpacking", "UpdateStatusLabel", 0, {}},
    {"Updater_Success", "UpdateStatusLabel", 0, {}},
};

using TokenFitTest = surfacetest::StagedLoopTest;

TEST_F(TokenFitTest, EveryUpdaterTextFitsItsControlInEveryLanguage) {
    std::string layoutText =
        testsupport::ReadFile(std::string(std::getenv("UPD_STAGE_DIR")) + "/Updater/UpdaterFrame.res");
    KeyValues* layout = new KeyValues("layout");
    layout->LoadFromBuffer(layoutText.c_str());
    HFont font = TheSchemeManager().GetIScheme(TheSchemeManager().GetDefaultScheme())->GetFont("Default");
    ASSERT_NE(font, 0u);

    for (const char* language : {"english", "german", "russian", "spanish"}) {
        TheSurfaceImpl().SetLanguage(language);
        CLocalize localize(&TheSurfaceImpl());
        ASSERT_TRUE(localize.AddFile(&TheFileSystem(), "updater/updater_%language%.txt")) << language;
        for (const ShownText& shown : kShownTexts) {
            const wchar* format = localize.Find(shown.token);
            ASSERT_NE(format, nullptr) << language << " " << shown.token;
            wchar text[256];
            auto argument = [&](std::size_t i) {
                return i < shown.arguments.size() ? shown.arguments[i].c_str() : nullptr;
            };
            localize.ConstructString(text, sizeof(text), format, static_cast<int>(shown.arguments.size()), argument(0),
                                     argument(1), argument(2));
            int wide = 0, tall = 0;
            TheSurface().GetTextSize(font, text, wide, tall);
            int room = layout->GetInt((std::string(shown.control) + "/wide").c_str(), 0) - shown.margin;
            ASSERT_GT(room, 0) << shown.control;
            EXPECT_LE(wide, room) << language << " " << shown.token << " is " << wide << " px in " << room << " px";
        }
    }
    layout->deleteThis();
}

}  // namespace
