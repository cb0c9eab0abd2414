// MessageBox and QueryBox: sizing around the message and the buttons, the
// button positions, centring over a frame or on the whole screen, the OK
// and Cancel answers with and without commands, Escape, deletion on close
// (also without a running GUI loop), modality handed back on close, the
// factory row and the layout save error box.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "modules/updfs/FileSystemStdio.h"
#include "services/IInput.h"
#include "services/ISurface.h"
#include "tests/support/TestSupport.h"
#include "tests/vgui2/ToolkitTestServices.h"
#include "vgui2/BuildGroup.h"
#include "vgui2/Button.h"
#include "vgui2/ControlFactory.h"
#include "vgui2/Frame.h"
#include "vgui2/FrameButton.h"
#include "vgui2/Label.h"
#include "vgui2/MessageBox.h"
#include "vgui2/PanelHandles.h"
#include "vgui2/QueryBox.h"

namespace {

using toolkittest::RecordingContainer;
using vgui2::Frame;
using vgui2::HPanel;
using vgui2::ISurface;
using vgui2::MessageBox;
using vgui2::Panel;
using vgui2::QueryBox;

KeyValues* Command(const char* name) {
    auto* message = new KeyValues("Command");
    message->SetString("command", name);
    return message;
}

class MessageBoxTest : public toolkittest::ToolkitTest {
protected:
    void SetUp() override {
        ToolkitTest::SetUp();
        target = new RecordingContainer(nullptr, "target");
    }

    void TearDown() override {
        for (HPanel handle : m_made) {
            delete vgui2::PanelFromHandle(handle);
        }
        delete target;
        ToolkitTest::TearDown();
    }

    template <typename Box>
    Box* Make(const char* text, Frame* over = nullptr) {
        auto* box = new Box("Title", text, over);
        box->AddActionSignalTarget(target);
        m_made.push_back(vgui2::HandleOf(box));
        return box;
    }

    // Shows the box and lets it take its scheme and layout.
    void Show(MessageBox* box, Frame* over = nullptr) {
        box->ShowWindow(over);
        TheVGui().RunFrame();
        TheVGui().RunFrame();
    }

    static bool Alive(HPanel handle) { return vgui2::PanelFromHandle(handle) != nullptr; }

    static int TextWidth(const char* text) { return static_cast<int>(std::string(text).size()) * kCharWidth; }

    RecordingContainer* target = nullptr;
    std::vector<HPanel> m_made;
};

// Layout ----------------------------------------------------------------------------

TEST_F(MessageBoxTest, GrowsToTheMessageAndCentresTheLabelAndButton) {
    const char* text = "This message is wider than any minimum the frame has";
    MessageBox* box = Make<MessageBox>(text);
    Show(box);
    vgui2::Label* label = box->GetMessageLabel();
    EXPECT_EQ(label->GetWide(), TextWidth(text));
    EXPECT_EQ(box->GetWide(), TextWidth(text) + 100);

    int x = 0, y = 0, w = 0, h = 0;
    box->GetClientArea(x, y, w, h);
    int centre = x + (x + w) / 2;
    int lx = 0, ly = 0;
    label->GetPos(lx, ly);
    EXPECT_EQ(lx, centre - label->GetWide() / 2);
    EXPECT_EQ(ly, y + 15);

    vgui2::Button* ok = box->GetOKButton();
    int contentWide = 0, contentTall = 0;
    ok->GetContentSize(contentWide, contentTall);
    EXPECT_EQ(ok->GetWide(), std::max(64, contentWide + 10));
    int ox = 0, oy = 0;
    ok->GetPos(ox, oy);
    EXPECT_EQ(ox, centre - ok->GetWide() / 2);
    EXPECT_EQ(oy, y + h - ok->GetTall() - 15);
}

TEST_F(MessageBoxTest, AWideButtonTextGrowsTheBoxToTwiceTheButton) {
    MessageBox* box = Make<MessageBox>("Hi");
    const char* wide = "A very long text on the OK button indeed";
    box->SetOKButtonText(wide);
    Show(box);
    EXPECT_EQ(box->GetWide(), 2 * box->GetOKButton()->GetWide() + 100);
    EXPECT_GT(box->GetOKButton()->GetWide(), TextWidth(wide));
}

TEST_F(MessageBoxTest, QueryBoxButtonsStandSeventeenPixelsEitherSideOfTheCentre) {
    QueryBox* box = Make<QueryBox>("Really quit?");
    Show(box);
    int x = 0, y = 0, w = 0, h = 0;
    box->GetClientArea(x, y, w, h);
    int centre = x + (x + w) / 2;
    int ox = 0, oy = 0, cx = 0, cy = 0;
    box->GetOKButton()->GetPos(ox, oy);
    box->GetCancelButton()->GetPos(cx, cy);
    EXPECT_EQ(ox + box->GetOKButton()->GetWide(), centre - 1);
    EXPECT_EQ(cx, centre + 16);
    EXPECT_EQ(oy, cy);
    EXPECT_EQ(box->GetOKButton()->GetTabPosition(), 1);
    EXPECT_EQ(box->GetCancelButton()->GetTabPosition(), 2);
}

TEST_F(MessageBoxTest, CentresOnTheWholeScreenOrOverTheGivenFrame) {
    surface.workspaceX = 200;
    surface.taskbarTall = 100;
    MessageBox* lone = Make<MessageBox>("Alone");
    Show(lone);
    int x = 0, y = 0;
    lone->GetPos(x, y);
    EXPECT_EQ(x, (800 - lone->GetWide()) / 2) << "the screen, not the work area";
    EXPECT_EQ(y, (600 - lone->GetTall()) / 2);

    auto* owner = new Frame(nullptr, "Owner");
    m_made.push_back(vgui2::HandleOf(owner));
    owner->SetBounds(300, 100, 400, 300);
    owner->Activate();
    MessageBox* over = Make<MessageBox>("Over", owner);
    Show(over, owner);
    over->GetPos(x, y);
    EXPECT_EQ(x, 300 + (400 - over->GetWide()) / 2);
    EXPECT_EQ(y, 100 + (300 - over->GetTall()) / 2);
}

// Answers and closing -------------------------------------------------------------------

TEST_F(MessageBoxTest, OkClosesDeletesAndPostsACopyOfTheCommand) {
    MessageBox* box = Make<MessageBox>("Done");
    HPanel handle = vgui2::HandleOf(box);
    box->SetCommand("acknowledged");
    Show(box);
    EXPECT_EQ(TheInput().GetFocus(), box->GetOKButton()->GetVPanel());
    box->GetOKButton()->DoClick();
    Deliver();
    EXPECT_FALSE(Alive(handle));
    EXPECT_EQ(target->commands, std::vector<std::string>({"acknowledged"}));
}

TEST_F(MessageBoxTest, ShutdownRequestClosesTheBox) {
    MessageBox* box = Make<MessageBox>("Bye");
    HPanel handle = vgui2::HandleOf(box);
    Show(box);
    box->PostMessage(box, new KeyValues("ShutdownRequest"));
    Deliver();
    TheVGui().RunFrame();
    EXPECT_FALSE(Alive(handle));
}

TEST_F(MessageBoxTest, HidingTheCloseButtonEmptiesTheOkCommand) {
    MessageBox* box = Make<MessageBox>("Stay");
    box->SetCloseButtonVisible(false);
    KeyValues* request = new KeyValues("GetCommand");
    ASSERT_TRUE(box->GetOKButton()->RequestInfo(request));
    EXPECT_STREQ(request->GetString("command", "?"), "");
    request->deleteThis();
    EXPECT_FALSE(box->GetCloseButton()->IsVisible());
}

TEST_F(MessageBoxTest, QueryBoxWithoutCommandsJustClosesOnEitherAnswer) {
    for (const char* answer : {"OK", "Cancel"}) {
        QueryBox* box = Make<QueryBox>("Sure?");
        HPanel handle = vgui2::HandleOf(box);
        Show(box);
        (std::string(answer) == "OK" ? box->GetOKButton() : box->GetCancelButton())->DoClick();
        Deliver();
        TheVGui().RunFrame();
        EXPECT_FALSE(Alive(handle)) << answer;
    }
    EXPECT_TRUE(target->commands.empty());
}

TEST_F(MessageBoxTest, QueryBoxPostsItsAnswerAfterTheBoxCommand) {
    QueryBox* box = Make<QueryBox>("Quit?");
    box->SetCommand("boxclosed");
    box->SetOKCommand(Command("quit"));
    box->SetCancelCommand(Command("stay"));
    Show(box);
    box->GetOKButton()->DoClick();
    Deliver();
    EXPECT_EQ(target->commands, std::vector<std::string>({"boxclosed", "quit"}));
}

TEST_F(MessageBoxTest, EscapeOnAQueryBoxCancelsExactlyOnce) {
    surface.features = {ISurface::ESCAPE_KEY};
    QueryBox* box = Make<QueryBox>("Quit?");
    HPanel handle = vgui2::HandleOf(box);
    box->SetOKCommand(Command("quit"));
    box->SetCancelCommand(Command("stay"));
    box->DoModal();
    TheVGui().RunFrame();
    // Both the press and the typed form reach the box.
    TheInput().InternalKeyCodePressed(vgui2::KEY_ESCAPE);
    TheInput().InternalKeyCodeTyped(vgui2::KEY_ESCAPE);
    TheInput().InternalKeyCodeReleased(vgui2::KEY_ESCAPE);
    Deliver();
    TheVGui().RunFrame();
    EXPECT_FALSE(Alive(handle));
    EXPECT_EQ(target->commands, std::vector<std::string>({"stay"}));
    EXPECT_EQ(TheInput().GetAppModalSurface(), vgui2::kNoPanel);
}

TEST_F(MessageBoxTest, AnsweringWithoutARunningLoopDeletesAtOnceAndKeepsTheAnswer) {
    QueryBox* box = Make<QueryBox>("Offline?");
    HPanel handle = vgui2::HandleOf(box);
    box->SetOKCommand(Command("yes"));
    TheVGui().Stop();
    box->OnCommand("ok");
    EXPECT_FALSE(Alive(handle));
    TheVGui().Start();
    Deliver();
    EXPECT_EQ(target->commands, std::vector<std::string>({"yes"}));
}

TEST_F(MessageBoxTest, ClosingAModalBoxGivesModalityBackToTheFrameBelow) {
    auto* owner = new Frame(nullptr, "Owner");
    m_made.push_back(vgui2::HandleOf(owner));
    owner->SetSize(400, 300);
    owner->DoModal();
    MessageBox* box = Make<MessageBox>("On top", owner);
    box->DoModal(owner);
    EXPECT_EQ(TheInput().GetAppModalSurface(), box->GetVPanel());
    box->GetOKButton()->DoClick();
    Deliver();
    EXPECT_EQ(TheInput().GetAppModalSurface(), owner->GetVPanel());
}

// Factory and the layout save error --------------------------------------------------------

TEST_F(MessageBoxTest, FactoryMakesATitledMessageBox) {
    Panel* made = vgui2::CreateControlByName("messagebox");
    ASSERT_NE(made, nullptr);
    m_made.push_back(vgui2::HandleOf(made));
    auto* box = dynamic_cast<MessageBox*>(made);
    ASSERT_NE(box, nullptr);
    vgui2::wchar title[64];
    box->GetTitle(title, sizeof(title));
    EXPECT_EQ(std::u16string(title), u"MessageBox");
    char text[64];
    box->GetMessageLabel()->GetText(text, sizeof(text));
    EXPECT_STREQ(text, "MessageBoxText");
}

TEST_F(MessageBoxTest, AFailedLayoutSaveShowsAModalErrorBox) {
    testsupport::TempDir dir;
    vgui2::g_services.fileSystem = &TheFileSystem();
    TheFileSystem().AddSearchPath(dir.Path().c_str(), "GAME");
    auto* frame = new Frame(nullptr, "Edited");
    m_made.push_back(vgui2::HandleOf(frame));
    testsupport::WriteFile(dir.File("edited.res"), R"("edited.res" { })");
    ASSERT_TRUE(frame->LoadLayoutFile("edited.res"));
    // A folder where the file should be cannot be written, whoever we are.
    std::filesystem::remove(dir.File("edited.res"));
    std::filesystem::create_directory(dir.File("edited.res"));
    EXPECT_FALSE(frame->GetContainedBuildGroup()->SaveLayoutFile());

    auto* box = dynamic_cast<MessageBox*>(vgui2::PanelFromId(TheInput().GetAppModalSurface()));
    ASSERT_NE(box, nullptr);
    m_made.push_back(vgui2::HandleOf(box));
    EXPECT_TRUE(box->IsVisible());
    vgui2::wchar title[128];
    box->GetTitle(title, sizeof(title));
    EXPECT_EQ(std::u16string(title), u"BuildMode - Error saving file");
    char text[128];
    box->GetMessageLabel()->GetText(text, sizeof(text));
    EXPECT_STREQ(text, vgui2::BuildGroup::kSaveErrorText);
    TheFileSystem().RemoveAllSearchPaths();
}

}  // namespace
