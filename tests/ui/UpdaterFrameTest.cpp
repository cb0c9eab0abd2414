// The updater window end to end on the real services: the engine's
// initialisation fills the branch list, branch selection rewrites the
// labels, a whole update runs from the button to the success line, failures
// turn the bar red for good, closing asks while an update runs, and the
// changelog window sits beside the frame in green.
#include <gtest/gtest.h>

#include "services/ISurface.h"
#include "tests/ui/WindowTestSupport.h"
#include "ui/ChangelogPanel.h"
#include "vgui2/Button.h"
#include "vgui2/ComboBox.h"
#include "vgui2/KeyValues.h"
#include "vgui2/ProgressBar.h"
#include "vgui2/QueryBox.h"
#include "vgui2/RichText.h"

using windowtest::CommandOf;
using windowtest::LabelText;
using windowtest::TokenText;

namespace {

class UpdaterFrameTest : public windowtest::WindowTest {
protected:
    void SendTextChanged(vgui2::Panel* from, const char* text) {
        KeyValues* message = new KeyValues("TextChanged");
        message->SetPtr("panel", from);
        message->SetString("text", text);
        m_frame->OnMessage(message, from->GetVPanel());
        message->deleteThis();
    }

    bool UpdateEnded() { return !update::g_updateState.updateInProgress.load(); }

    vgui2::QueryBox* FindQueryBox() {
        for (int i = 0; i < m_frame->GetChildCount(); ++i) {
            if (auto* box = dynamic_cast<vgui2::QueryBox*>(m_frame->GetChild(i))) {
                return box;
            }
        }
        return nullptr;
    }

    CUpdaterFrame* m_frame = nullptr;
};

TEST_F(UpdaterFrameTest, InitialisationFillsTheBranchListAndSelectsTheSavedBranch) {
    testsupport::WriteFile(m_game.File("qlm.branch"), "beta");
    m_frame = OpenWindow();
    ASSERT_NE(m_frame, nullptr);
    ASSERT_TRUE(RunFramesUntil([] { return update::g_updateState.selectedBranch.name == "beta"; }));
    RunFrames(2);

    EXPECT_EQ(m_frame->GetBranchComboBox()->GetItemCount(), 2);
    char shown[64] = {};
    m_frame->GetBranchComboBox()->GetText(shown, sizeof(shown));
    EXPECT_STREQ(shown, "beta");
    EXPECT_EQ(LabelText(m_frame->GetRemoteVersionLabel()), "Available version: 3.0-beta");
    EXPECT_EQ(LabelText(m_frame->GetCurrentVersionLabel()),
              std::string("Installed version: ") + update::g_updateState.installedVersion);
    EXPECT_EQ(LabelText(m_frame->GetStatusLabel()), TokenText("#Updater_StatusAvailableUpdate"));
    // Idle view: the update controls hidden, the version lines shown.
    EXPECT_FALSE(m_frame->GetProgressBar()->IsVisible());
    EXPECT_FALSE(m_frame->GetUpdateStatusLabel()->IsVisible());
    EXPECT_TRUE(m_frame->GetCurrentVersionLabel()->IsVisible());
    EXPECT_EQ(CommandOf(m_frame->GetUpdateButton()), "update");
    // The layout file sized the frame and matched every control by name;
    // no control was created twice.
    EXPECT_EQ(m_frame->GetWide(), 420);
    EXPECT_EQ(m_frame->GetTall(), 214);
    EXPECT_EQ(m_frame->GetBranchComboBox()->GetWide(), 308);
    EXPECT_EQ(m_frame->FindChildByName("CUpdaterFrame"), nullptr);
    KeepScreenshot(m_frame, "idle.png");
}

TEST_F(UpdaterFrameTest, ASavedNameInAnotherCaseActivatesTheFirstBranch) {
    testsupport::WriteFile(m_game.File("qlm.branch"), "BETA");
    m_frame = OpenWindow();
    ASSERT_TRUE(RunFramesUntil([this] { return m_frame->GetBranchComboBox()->GetActiveItem() >= 0; }));
    char shown[64] = {};
    m_frame->GetBranchComboBox()->GetText(shown, sizeof(shown));
    EXPECT_STREQ(shown, "stable");
    EXPECT_EQ(update::g_updateState.chosenBranchName, "stable");
}

TEST_F(UpdaterFrameTest, TextChangedSelectsOnlyAnExactBranchFromTheComboBox) {
    m_frame = OpenWindow();
    ASSERT_TRUE(RunFramesUntil([] { return update::g_updateState.selectedBranch.name == "stable"; }));

    // Another panel, an empty text, a name in another case: nothing changes.
    SendTextChanged(m_frame->GetUpdateButton(), "beta");
    SendTextChanged(m_frame->GetBranchComboBox(), "");
    SendTextChanged(m_frame->GetBranchComboBox(), "Beta");
    EXPECT_EQ(update::g_updateState.selectedBranch.name, "stable");

    RunFrames(1);
    ASSERT_TRUE(update::g_updateState.statusShown);
    SendTextChanged(m_frame->GetBranchComboBox(), "beta");
    EXPECT_EQ(update::g_updateState.selectedBranch.version, "3.0-beta");
    EXPECT_EQ(update::g_updateState.chosenBranchName, "beta");
    EXPECT_FALSE(update::g_updateState.statusShown);
    EXPECT_EQ(LabelText(m_frame->GetRemoteVersionLabel()), "Available version: 3.0-beta");
    // Choosing a branch is not saved until an update succeeds.
    EXPECT_EQ(testsupport::ReadFile(m_game.File("qlm.branch")), "stable");
}

// The status line waits for the manifest: before it arrives there is no
// version to compare, and "latest version" beside an offered update would
// tell the person not to update.
TEST_F(UpdaterFrameTest, TheStatusLineIsWorkedOutOnlyOnceTheManifestHasArrived) {
    const std::string longName(300, 'n');
    for (const std::string& manifest :
         {std::string(R"({"branches":[]})"),
          R"({"branches":[{"name":")" + longName + R"(","version":"2.0","browser_download_url":"x"}]})"}) {
        SCOPED_TRACE(manifest.substr(0, 40));
        enginetest::ResetUpdateState();
        m_manifest = manifest;
        m_frame = OpenWindow();
        ASSERT_TRUE(RunFramesUntil([] { return update::g_updateState.engineInitialised; }));
        RunFrames(2);
        EXPECT_EQ(LabelText(m_frame->GetStatusLabel()), TokenText("#Updater_StatusAvailableUpdate"));
        EXPECT_TRUE(m_frame->GetUpdateButton()->IsEnabled());
        m_frame->MarkForDeletion();
        app::g_viewport->MarkForDeletion();
        RunFrames(1);
        app::g_viewport = nullptr;
    }
}

TEST_F(UpdaterFrameTest, AWholeUpdateRunsFromTheButtonToTheSuccessLine) {
    m_frame = OpenWindow();
    ASSERT_TRUE(RunFramesUntil([] { return update::g_updateState.selectedBranch.name == "stable"; }));
    m_releaseHeld = true;

    m_frame->OnCommand("UpDaTe");
    EXPECT_FALSE(m_frame->GetBranchComboBox()->IsEnabled());
    EXPECT_FALSE(m_frame->GetUpdateButton()->IsEnabled());
    EXPECT_TRUE(m_frame->GetProgressBar()->IsVisible());
    EXPECT_FALSE(m_frame->GetRemoteVersionLabel()->IsVisible());
    ASSERT_TRUE(update::g_updateState.updateInProgress.load());

    // Half the archive has arrived and the rest is held back.
    ASSERT_TRUE(RunFramesUntil([this] { return m_frame->GetProgressBar()->GetProgress() >= 0.45f; }));
    EXPECT_NE(LabelText(m_frame->GetUpdateStatusLabel()).find("Downloading release.zip:"), std::string::npos);
    EXPECT_FALSE(m_frame->GetUpdateButton()->IsEnabled());
    KeepScreenshot(m_frame, "updating.png");

    m_releaseHeld = false;
    ASSERT_TRUE(RunFramesUntil([this] { return UpdateEnded(); }));
    RunFrames(2);
    EXPECT_EQ(LabelText(m_frame->GetUpdateStatusLabel()), TokenText("#Updater_Success"));
    EXPECT_EQ(testsupport::ReadFile(m_game.File("maps/new.bsp")), "a new map");
    EXPECT_FALSE(testsupport::PathExists(m_game.File("release.zip")));
    EXPECT_TRUE(m_frame->GetUpdateButton()->IsEnabled());
    EXPECT_EQ(CommandOf(m_frame->GetUpdateButton()), "showelems");
    EXPECT_EQ(LabelText(m_frame->GetUpdateButton()), TokenText("#Updater_Stop"));
    EXPECT_FLOAT_EQ(m_frame->GetProgressBar()->GetProgress(), 1.0f);
    KeepScreenshot(m_frame, "success.png");

    m_frame->OnCommand("showelems");
    EXPECT_TRUE(m_frame->GetBranchComboBox()->IsEnabled());
    EXPECT_TRUE(m_frame->GetRemoteVersionLabel()->IsVisible());
    EXPECT_FALSE(m_frame->GetProgressBar()->IsVisible());
    EXPECT_EQ(CommandOf(m_frame->GetUpdateButton()), "update");
    EXPECT_EQ(LabelText(m_frame->GetUpdateButton()), TokenText("#Updater_Update"));
}

TEST_F(UpdaterFrameTest, AFailedDownloadTurnsTheBarRedForTheRestOfTheRun) {
    testsupport::WriteFile(m_game.File("qlm.branch"), "beta");
    m_frame = OpenWindow();
    ASSERT_TRUE(RunFramesUntil([] { return update::g_updateState.selectedBranch.name == "beta"; }));
    vgui2::Color before = m_frame->GetProgressBar()->GetFgColor();

    m_frame->OnCommand("__update");
    ASSERT_TRUE(RunFramesUntil([this] { return UpdateEnded(); }));
    RunFrames(1);
    vgui2::Color red = m_frame->GetProgressBar()->GetFgColor();
    EXPECT_EQ(red.r, 160);
    EXPECT_EQ(red.g, 0);
    EXPECT_EQ(red.a, 255) << "a transparent red draws nothing";
    EXPECT_FALSE(red.r == before.r && red.g == before.g && red.b == before.b);
    // The transfer's own text is shown as it stands, not looked up.
    EXPECT_EQ(LabelText(m_frame->GetUpdateStatusLabel()).rfind("cURL error: ", 0), 0u);
    EXPECT_EQ(CommandOf(m_frame->GetUpdateButton()), "showelems");
    EXPECT_EQ(LabelText(m_frame->GetUpdateButton()), TokenText("#Updater_Stop"));

    // A later successful update leaves the red in place.
    m_frame->OnCommand("showelems");
    SendTextChanged(m_frame->GetBranchComboBox(), "stable");
    m_frame->OnCommand("update");
    ASSERT_TRUE(RunFramesUntil([this] { return UpdateEnded(); }));
    RunFrames(1);
    EXPECT_EQ(LabelText(m_frame->GetUpdateStatusLabel()), TokenText("#Updater_Success"));
    EXPECT_EQ(m_frame->GetProgressBar()->GetFgColor().r, 160);
}

TEST_F(UpdaterFrameTest, ARefusedUpdateComesBackAtOnceAndClosingNeedsNoConfirmation) {
    m_frame = OpenWindow();
    ASSERT_TRUE(RunFramesUntil([] { return update::g_updateState.selectedBranch.name == "stable"; }));
    std::snprintf(update::g_updateState.installedVersion, update::kInstalledVersionSize, "2.0");

    m_frame->OnCommand("update");
    EXPECT_FALSE(update::g_updateState.updateInProgress.load());
    EXPECT_EQ(LabelText(m_frame->GetUpdateStatusLabel()), TokenText("#Updater_P1"));
    EXPECT_TRUE(m_frame->GetUpdateButton()->IsEnabled());

    m_frame->OnCommand("Close");
    EXPECT_EQ(FindQueryBox(), nullptr);
    EXPECT_FALSE(TheVGui().IsRunning());
    EXPECT_FALSE(m_frame->IsVisible());
}

TEST_F(UpdaterFrameTest, ClosingDuringAnUpdateAsksAndCancelKeepsItRunning) {
    m_frame = OpenWindow();
    ASSERT_TRUE(RunFramesUntil([] { return update::g_updateState.selectedBranch.name == "stable"; }));
    m_releaseHeld = true;
    m_frame->OnCommand("update");

    m_frame->OnCommand("Close");
    vgui2::QueryBox* box = FindQueryBox();
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(TheVGui().IsRunning());
    EXPECT_TRUE(m_frame->IsVisible());
    EXPECT_EQ(LabelText(box->GetOKButton()), TokenText("#Updater_Quit"));

    box->OnCommand("Cancel");
    RunFrames(2);
    EXPECT_EQ(FindQueryBox(), nullptr);
    EXPECT_TRUE(update::g_updateState.updateInProgress.load());
    m_releaseHeld = false;
    ASSERT_TRUE(RunFramesUntil([this] { return UpdateEnded(); }));
}

// The answer takes effect at once: the windows go and the loop ends, so
// start-up's shutdown can stop the download while nothing looks frozen.
TEST_F(UpdaterFrameTest, ConfirmingTheQuitHidesTheWindowsAndStopsTheLoopAtOnce) {
    m_frame = OpenWindow();
    ASSERT_TRUE(RunFramesUntil([] { return update::g_updateState.selectedBranch.name == "stable"; }));
    m_releaseHeld = true;
    m_frame->OnCommand("changelog");
    m_frame->OnCommand("update");
    m_frame->OnCommand("Close");
    vgui2::QueryBox* box = FindQueryBox();
    ASSERT_NE(box, nullptr);
    box->OnCommand("OK");
    RunFrames(1);
    EXPECT_FALSE(m_frame->IsVisible());
    ASSERT_NE(m_frame->GetChangelogPanel(), nullptr);
    EXPECT_FALSE(m_frame->GetChangelogPanel()->IsVisible());
    EXPECT_FALSE(TheVGui().IsRunning());
    EXPECT_TRUE(update::g_updateState.updateInProgress.load()) << "the job is left to the shutdown";
}

TEST_F(UpdaterFrameTest, TheChangelogOpensBesideTheFrameInGreenAndReopensAfterClosing) {
    m_frame = OpenWindow();
    ASSERT_TRUE(RunFramesUntil([] { return update::g_updateState.selectedBranch.name == "stable"; }));

    m_frame->OnCommand("changelog");
    auto* changelog = dynamic_cast<CChangelogPanel*>(m_frame->GetChangelogPanel());
    ASSERT_NE(changelog, nullptr);
    int frameX = 0;
    int frameY = 0;
    m_frame->GetPos(frameX, frameY);
    int x = 0;
    int y = 0;
    changelog->GetPos(x, y);
    int areaX = 0, areaY = 0, areaWide = 0, areaTall = 0;
    vgui2::surface()->GetWorkspaceBounds(areaX, areaY, areaWide, areaTall);
    // The offscreen screen has no room beside the frame: the window is
    // shifted in rather than left past the edge.
    EXPECT_GE(x, areaX);
    EXPECT_LE(x + changelog->GetWide(), areaX + areaWide);
    EXPECT_EQ(y, frameY);
    RunFrames(2);
    vgui2::Color green = changelog->GetTextView()->GetFgColor();
    EXPECT_EQ(green.r, 0);
    EXPECT_EQ(green.g, 255);
    EXPECT_EQ(green.b, 0);
    EXPECT_EQ(changelog->GetTextView()->GetText(), u"Stable notes");
    // The text itself is drawn green, not only the view's colour setting.
    EXPECT_GT(GreenPixels(changelog), 20);
    // The text view keeps a 4-pixel margin inside the client area.
    int cx = 0, cy = 0, cw = 0, ch = 0;
    changelog->GetClientArea(cx, cy, cw, ch);
    EXPECT_EQ(changelog->GetTextView()->GetWide(), cw - 8);
    KeepScreenshot(changelog, "changelog.png");

    // A second press brings the same window back with the newly chosen text.
    SendTextChanged(m_frame->GetBranchComboBox(), "beta");
    m_frame->OnCommand("changelog");
    EXPECT_EQ(m_frame->GetChangelogPanel(), changelog);
    EXPECT_EQ(changelog->GetTextView()->GetText(), u"Beta notes");
    EXPECT_GT(GreenPixels(changelog), 20);

    changelog->OnCommand("Close");
    RunFrames(2);
    EXPECT_EQ(m_frame->GetChangelogPanel(), nullptr);
    m_frame->OnCommand("changelog");
    EXPECT_NE(m_frame->GetChangelogPanel(), nullptr);
}

}  // namespace
