// Frame: construction and its title-bar controls, the layout numbers and
// the client area, layout-file and user-config settings, activation,
// closing and application modality (stacked and out of order), flashing,
// focus-dependent painting, grip resizing against the minimum size,
// caption dragging with edge snapping, the keyboard rules and the system
// menu.
#include <gtest/gtest.h>

#include <string>

#include "services/IInput.h"
#include "services/IPanel.h"
#include "services/ISurface.h"
#include "tests/vgui2/ToolkitTestServices.h"
#include "vgui2/Button.h"
#include "vgui2/CaptionGripPanel.h"
#include "vgui2/Frame.h"
#include "vgui2/WindowPlacement.h"
#include "vgui2/FrameButton.h"
#include "vgui2/FrameSystemButton.h"
#include "vgui2/GripPanel.h"
#include "vgui2/Menu.h"
#include "vgui2/MenuItem.h"
#include "vgui2/PanelHandles.h"

namespace {

using vgui2::Color;
using vgui2::Frame;
using vgui2::HPanel;
using vgui2::ISurface;
using vgui2::KeyCode;
using vgui2::Panel;

// A frame that writes down the commands that reach it.
class RecordingFrame : public Frame {
public:
    RecordingFrame(Panel* parent, const char* name) : Frame(parent, name) {}

    void OnCommand(const char* command) override {
        commands.push_back(command);
        Frame::OnCommand(command);
    }

    std::vector<std::string> commands;
};

class FrameTest : public toolkittest::ToolkitTest {
protected:
    void SetUp() override {
        ToolkitTest::SetUp();
        surface.features = {ISurface::ESCAPE_KEY, ISurface::FRAME_MINIMIZE_MAXIMIZE};
    }

    void TearDown() override {
        for (HPanel handle : m_made) {
            if (Panel* panel = vgui2::PanelFromHandle(handle)) {
                delete panel;
            }
        }
        ToolkitTest::TearDown();
    }

    RecordingFrame* MakeFrame(int x, int y, int wide, int tall, Panel* parent = nullptr) {
        auto* frame = new RecordingFrame(parent, "TestFrame");
        frame->SetBounds(x, y, wide, tall);
        m_made.push_back(vgui2::HandleOf(frame));
        return frame;
    }

    static bool Alive(HPanel handle) { return vgui2::PanelFromHandle(handle) != nullptr; }

    // Presses at a screen point, moves there and releases, as a hand would.
    void Drag(int fromX, int fromY, int toX, int toY) {
        TheInput().InternalCursorMoved(fromX, fromY);
        TheInput().InternalMousePressed(vgui2::MOUSE_LEFT);
        TheInput().InternalCursorMoved(toX, toY);
        TheInput().InternalMouseReleased(vgui2::MOUSE_LEFT);
    }

    void TypeWith(std::initializer_list<KeyCode> held, KeyCode code) {
        for (KeyCode key : held) {
            TheInput().InternalKeyCodePressed(key);
        }
        TheInput().InternalKeyCodePressed(code);
        TheInput().InternalKeyCodeTyped(code);
        TheInput().InternalKeyCodeReleased(code);
        for (KeyCode key : held) {
            TheInput().InternalKeyCodeReleased(key);
        }
    }

    std::vector<HPanel> m_made;
};

// Construction and title-bar controls ------------------------------------------------

TEST_F(FrameTest, StartsHiddenUntitledAndNoSmallerThanTheMinimum) {
    Frame* frame = MakeFrame(0, 0, 10, 10);
    EXPECT_FALSE(frame->IsVisible());
    EXPECT_TRUE(frame->IsPopup());
    vgui2::wchar title[64];
    frame->GetTitle(title, sizeof(title));
    EXPECT_EQ(std::u16string(title), u"Untitled");
    EXPECT_EQ(surface.lastTitle, u"Untitled") << "a frame without parent names its native window";
    EXPECT_EQ(frame->GetWide(), Frame::kMinimumWide);
    EXPECT_EQ(frame->GetTall(), Frame::kMinimumTall);
}

TEST_F(FrameTest, MinimizeAndMaximizeOnlyWhereTheSurfaceOffersThemAndWithoutParent) {
    Frame* top = MakeFrame(0, 0, 300, 200);
    EXPECT_TRUE(top->GetMinimizeButton()->IsVisible());
    EXPECT_FALSE(top->GetMaximizeButton()->IsVisible()) << "maximize has no handler and stays hidden";
    EXPECT_FALSE(top->GetMinimizeToSysTrayButton()->IsVisible());
    EXPECT_TRUE(top->GetCloseButton()->IsVisible());

    auto* child = new Frame(top, "Child");
    EXPECT_FALSE(child->GetMinimizeButton()->IsVisible());
    EXPECT_FALSE(child->GetMaximizeButton()->IsVisible());

    surface.features = {ISurface::ESCAPE_KEY};
    Frame* plain = MakeFrame(0, 0, 300, 200);
    EXPECT_FALSE(plain->GetMinimizeButton()->IsVisible());
}

TEST_F(FrameTest, HidingTheTitleBarHidesItsButtonsAndShowingItBringsBackOnlyWantedOnes) {
    Frame* frame = MakeFrame(0, 0, 300, 200);
    frame->SetMinimizeToSysTrayButtonVisible(true);
    frame->SetTitleBarVisible(false);
    EXPECT_FALSE(frame->GetMinimizeButton()->IsVisible());
    EXPECT_FALSE(frame->GetCloseButton()->IsVisible());
    EXPECT_FALSE(frame->GetSystemButton()->IsVisible());
    EXPECT_TRUE(frame->GetMinimizeToSysTrayButton()->IsVisible()) << "the tray button keeps its state";

    frame->SetTitleBarVisible(true);
    EXPECT_TRUE(frame->GetMinimizeButton()->IsVisible());
    EXPECT_TRUE(frame->GetCloseButton()->IsVisible());
    EXPECT_FALSE(frame->GetMaximizeButton()->IsVisible()) << "a button the frame hid must not reappear";
}

// Layout ---------------------------------------------------------------------------

TEST_F(FrameTest, LayoutPlacesGripsCaptionAndTitleButtonsFromTheRight) {
    Frame* frame = MakeFrame(0, 0, 300, 200);
    frame->SetMinimizeToSysTrayButtonVisible(true);
    frame->InvalidateLayout(true);

    int x = 0, y = 0, w = 0, h = 0;
    auto bounds = [&](Panel* panel) {
        panel->GetBounds(x, y, w, h);
        return std::vector<int>{x, y, w, h};
    };
    EXPECT_EQ(bounds(frame->GetGrip(0)), (std::vector<int>{8, 0, 284, 5})) << "top";
    EXPECT_EQ(bounds(frame->GetGrip(1)), (std::vector<int>{8, 195, 274, 5})) << "bottom";
    EXPECT_EQ(bounds(frame->GetGrip(2)), (std::vector<int>{0, 8, 5, 184})) << "left";
    EXPECT_EQ(bounds(frame->GetGrip(3)), (std::vector<int>{295, 8, 5, 174})) << "right";
    EXPECT_EQ(bounds(frame->GetGrip(7)), (std::vector<int>{282, 182, 18, 18})) << "bottom-right";
    EXPECT_EQ(bounds(frame->GetCaptionGrip()), (std::vector<int>{0, 0, 290, 23}));
    EXPECT_EQ(bounds(frame->GetSystemButton()), (std::vector<int>{7, 8, 18, 18}));
    EXPECT_EQ(bounds(frame->GetCloseButton()), (std::vector<int>{275, 8, 18, 18}));
    EXPECT_EQ(bounds(frame->GetMinimizeToSysTrayButton()), (std::vector<int>{255, 8, 18, 18}));
    EXPECT_EQ(bounds(frame->GetMinimizeButton()), (std::vector<int>{235, 8, 18, 18}))
        << "the hidden maximize button takes no place";
}

TEST_F(FrameTest, ProportionalFrameScalesTitleButtonsWithTheScreenHeight) {
    surface.screenTall = 960;  // twice the base height
    Frame* frame = MakeFrame(0, 0, 300, 200);
    frame->SetProportional(true);
    frame->InvalidateLayout(true);
    int x = 0, y = 0, w = 0, h = 0;
    frame->GetCloseButton()->GetBounds(x, y, w, h);
    EXPECT_EQ(x, 300 - 10 - 40);
    EXPECT_EQ(y, 16);
    EXPECT_EQ(w, 36);
    frame->GetMinimizeButton()->GetBounds(x, y, w, h);
    EXPECT_EQ(x, 300 - 10 - 80);
}

TEST_F(FrameTest, ClientAreaLiesInsideTheBorderAndBelowTheTitle) {
    Frame* frame = MakeFrame(0, 0, 300, 200);
    int x = 0, y = 0, w = 0, h = 0;
    frame->GetClientArea(x, y, w, h);
    EXPECT_EQ(x, 5);
    EXPECT_EQ(w, 290);
    EXPECT_EQ(y, kFontTall + 13);
    EXPECT_EQ(h, 200 - kFontTall - 18);
    frame->SetTitleBarVisible(false);
    frame->GetClientArea(x, y, w, h);
    EXPECT_EQ(y, 5);
    EXPECT_EQ(h, 190);
}

// Settings and user config -------------------------------------------------------------

TEST_F(FrameTest, LayoutSettingsNeverShowTheFrameAndReadBackTheTitle) {
    Frame* frame = MakeFrame(0, 0, 300, 200);
    KeyValues* settings = new KeyValues("TestFrame");
    settings->SetInt("visible", 1);
    settings->SetInt("settitlebarvisible", 0);
    settings->SetString("title", "Layout title");
    frame->ApplySettings(settings);
    EXPECT_FALSE(frame->IsVisible());
    EXPECT_FALSE(frame->IsTitleBarVisible());
    EXPECT_FALSE(frame->GetCloseButton()->IsVisible());
    EXPECT_EQ(surface.lastTitle, u"Layout title");

    KeyValues* out = new KeyValues("out");
    frame->GetSettings(out);
    EXPECT_EQ(out->GetInt("settitlebarvisible", -1), 0);
    EXPECT_STREQ(out->GetString("title"), "Layout title");
    settings->deleteThis();
    out->deleteThis();
}

TEST_F(FrameTest, UserConfigIsKeptInsideTheWorkAreaAndCentresWithoutPosition) {
    surface.taskbarTall = 40;
    Frame* frame = MakeFrame(0, 0, 300, 200);
    system.userConfig = new KeyValues("config");
    system.userConfig->SetInt("xpos", 700);
    system.userConfig->SetInt("ypos", -30);
    system.userConfig->SetInt("wide", 2000);
    system.userConfig->SetInt("tall", 100);
    frame->ReadUserConfig("TestFrame");
    int x = 0, y = 0, w = 0, h = 0;
    frame->GetBounds(x, y, w, h);
    EXPECT_EQ(w, 800) << "no wider than the work area";
    EXPECT_EQ(h, 100);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);

    KeyValues::Destroy(system.userConfig);
    system.userConfig = new KeyValues("config");
    system.userConfig->SetInt("wide", 10);
    system.userConfig->SetInt("tall", 10);
    frame->ReadUserConfig("TestFrame");
    frame->GetBounds(x, y, w, h);
    EXPECT_EQ(w, Frame::kMinimumWide);
    EXPECT_EQ(h, Frame::kMinimumTall);
    EXPECT_EQ(x, (800 - w) / 2) << "no saved position: centred";
    EXPECT_EQ(y, (560 - h) / 2);

    frame->SetPos(12, 34);
    frame->SetSizeable(false);
    frame->WriteUserConfig();
    EXPECT_EQ(system.userConfig->GetInt("xpos"), 12);
    EXPECT_EQ(system.userConfig->GetInt("ypos"), 34);
    EXPECT_EQ(system.userConfig->GetInt("wide"), 10) << "a fixed-size frame does not store its size";
}

// Activation, closing and modality ------------------------------------------------------

TEST_F(FrameTest, ActivateShowsFocusesAndRestores) {
    Frame* frame = MakeFrame(0, 0, 300, 200);
    frame->Activate();
    EXPECT_TRUE(frame->IsVisible());
    EXPECT_EQ(TheInput().GetFocus(), frame->GetVPanel());
    ASSERT_FALSE(surface.minimized.empty());
    EXPECT_EQ(surface.minimized.back(), std::make_pair(frame->GetVPanel(), false));
}

TEST_F(FrameTest, DoModalCentresOnTheWorkAreaSizeIgnoringItsOrigin) {
    surface.workspaceX = 100;
    surface.workspaceY = 50;
    Frame* frame = MakeFrame(0, 0, 300, 200);
    frame->DoModal();
    int x = 0, y = 0;
    frame->GetPos(x, y);
    EXPECT_EQ(x, (700 - 300) / 2);
    EXPECT_EQ(y, (550 - 200) / 2);
    EXPECT_EQ(TheInput().GetAppModalSurface(), frame->GetVPanel());
}

TEST_F(FrameTest, ModalFramesClosedInReverseOrderRestoreModalityStepByStep) {
    Frame* first = MakeFrame(0, 0, 300, 200);
    Frame* second = MakeFrame(0, 0, 300, 200);
    first->DoModal();
    second->DoModal();
    EXPECT_EQ(TheInput().GetAppModalSurface(), second->GetVPanel());

    second->CloseModal();
    EXPECT_EQ(TheInput().GetAppModalSurface(), first->GetVPanel());
    Deliver();
    EXPECT_FALSE(second->IsVisible()) << "close modal posts Close to the frame";

    first->OnClose();
    EXPECT_EQ(TheInput().GetAppModalSurface(), vgui2::kNoPanel);
    EXPECT_FALSE(first->IsVisible());
}

TEST_F(FrameTest, ModalityIsNotHandedBackToAFrameClosedMeanwhile) {
    Frame* first = MakeFrame(0, 0, 300, 200);
    Frame* second = MakeFrame(0, 0, 300, 200);
    first->DoModal();
    second->DoModal();
    second->DoModal();
    first->OnClose();  // not modal: it only hides
    EXPECT_EQ(TheInput().GetAppModalSurface(), second->GetVPanel());
    second->OnClose();
    EXPECT_EQ(TheInput().GetAppModalSurface(), vgui2::kNoPanel)
        << "a hidden frame left modal would shut every window off from input";
}

TEST_F(FrameTest, CloseDeletesTheFrameOnlyWhenAsked) {
    Frame* kept = MakeFrame(0, 0, 300, 200);
    Frame* dropped = MakeFrame(0, 0, 300, 200);
    HPanel keptHandle = vgui2::HandleOf(kept);
    HPanel droppedHandle = vgui2::HandleOf(dropped);
    kept->Activate();
    dropped->Activate();
    dropped->SetDeleteSelfOnClose(true);
    kept->OnClose();
    dropped->OnClose();
    EXPECT_TRUE(dropped->IsMarkedForDeletion());
    TheVGui().RunFrame();
    EXPECT_TRUE(Alive(keptHandle));
    EXPECT_FALSE(kept->IsVisible());
    EXPECT_FALSE(Alive(droppedHandle));
}

TEST_F(FrameTest, CommandsTheFrameKnowsAndOnesItIgnores) {
    Frame* frame = MakeFrame(0, 0, 300, 200);
    frame->Activate();
    frame->OnCommand("Minimize");
    EXPECT_EQ(surface.minimized.back(), std::make_pair(frame->GetVPanel(), true));
    frame->OnCommand("MinimizeToSysTray");
    frame->OnCommand("SomethingElse");
    EXPECT_TRUE(frame->IsVisible());
    frame->OnCommand("close");
    EXPECT_FALSE(frame->IsVisible());
}

TEST_F(FrameTest, PressingATitleButtonLeavesTheFocusWhereItWas) {
    Frame* frame = MakeFrame(100, 100, 300, 200);
    auto* field = new vgui2::Button(frame, "Field", "Field");
    field->SetBounds(20, 60, 80, 24);
    frame->Activate();
    TheVGui().RunFrame();
    field->RequestFocus();
    ASSERT_EQ(TheInput().GetFocus(), field->GetVPanel());
    // The minimize button sits second from the right.
    TheInput().InternalCursorMoved(100 + 300 - 45 + 9, 100 + 8 + 9);
    TheInput().InternalMousePressed(vgui2::MOUSE_LEFT);
    TheInput().InternalMouseReleased(vgui2::MOUSE_LEFT);
    Deliver();
    EXPECT_EQ(TheInput().GetFocus(), field->GetVPanel());
    ASSERT_FALSE(surface.minimized.empty());
    EXPECT_EQ(surface.minimized.back(), std::make_pair(frame->GetVPanel(), true));
}

// Flashing and painting -------------------------------------------------------------------

TEST_F(FrameTest, FlashingRepeatsThroughDelayedMessagesUntilStopped) {
    Frame* frame = MakeFrame(0, 0, 300, 200);
    frame->FlashWindow();
    ASSERT_EQ(surface.flashes.size(), 1u);
    EXPECT_EQ(surface.flashes[0], std::make_pair(frame->GetVPanel(), true));
    ASSERT_TRUE(RunFramesUntil([&] { return surface.flashes.size() >= 2; }, std::chrono::seconds(5)));
    EXPECT_TRUE(surface.flashes[1].second);

    frame->FlashWindowStop();
    EXPECT_EQ(surface.flashes.back(), std::make_pair(frame->GetVPanel(), false));
    std::size_t count = surface.flashes.size();
    Deliver();
    EXPECT_EQ(surface.flashes.size(), count) << "the pending step does nothing once stopped";
}

TEST_F(FrameTest, PaintingFollowsTheFocusAndAFocusedPaintStopsAFlash) {
    schemes.colors["TitleBarBgColor"] = Color(1, 2, 3, 255);
    schemes.colors["TitleBarDisabledBgColor"] = Color(4, 5, 6, 255);
    Frame* frame = MakeFrame(0, 0, 300, 200);
    Frame* other = MakeFrame(400, 0, 300, 200);
    frame->Activate();
    other->Activate();  // the focus goes to the other frame
    TheVGui().RunFrame();

    auto titleBarColor = [&] {
        surface.filledRects.clear();
        frame->PaintTraverse(true);
        for (const auto& rect : surface.filledRects) {
            if (rect.x0 == 5 && rect.y0 == 5 && rect.x1 == 295 && rect.y1 == 28) {
                return rect.color;
            }
        }
        return Color(0, 0, 0, 0);
    };
    EXPECT_EQ(titleBarColor(), Color(4, 5, 6, 255));
    EXPECT_TRUE(frame->GetCloseButton()->HasDisabledLook());
    EXPECT_FALSE(frame->GetSystemButton()->IsEnabled());

    frame->FlashWindow();
    frame->Activate();
    EXPECT_EQ(titleBarColor(), Color(1, 2, 3, 255));
    EXPECT_FALSE(frame->GetCloseButton()->HasDisabledLook());
    EXPECT_TRUE(frame->GetSystemButton()->IsEnabled());
    EXPECT_FALSE(frame->IsFlashing());
}

// Grips and caption ----------------------------------------------------------------------

TEST_F(FrameTest, TopLeftGripPastTheMinimumKeepsTheBottomRightCornerFixed) {
    Frame* frame = MakeFrame(100, 100, 300, 200);
    frame->Activate();
    TheVGui().RunFrame();
    // Grow first: the frame moves left and up by what it grew.
    Drag(102, 102, 52, 72);
    int x = 0, y = 0, w = 0, h = 0;
    frame->GetBounds(x, y, w, h);
    EXPECT_EQ(std::vector<int>({x, y, w, h}), std::vector<int>({50, 70, 350, 230}));
    TheVGui().RunFrame();

    Drag(52, 72, 390, 290);
    frame->GetBounds(x, y, w, h);
    EXPECT_EQ(w, Frame::kMinimumWide);
    EXPECT_EQ(h, Frame::kMinimumTall);
    EXPECT_EQ(x + w, 400);
    EXPECT_EQ(y + h, 300);
}

TEST_F(FrameTest, BottomRightGripResizesOnlyWhileSizeable) {
    Frame* frame = MakeFrame(100, 100, 300, 200);
    frame->Activate();
    TheVGui().RunFrame();
    EXPECT_EQ(frame->GetGrip(7)->GetCursor(), static_cast<vgui2::HCursor>(vgui2::dc_sizenwse));
    Drag(390, 290, 420, 330);
    EXPECT_EQ(frame->GetWide(), 330);
    EXPECT_EQ(frame->GetTall(), 240);
    EXPECT_EQ(TheInput().GetMouseCapture(), vgui2::kNoPanel) << "the release ends the drag";

    frame->SetSizeable(false);
    EXPECT_EQ(frame->GetGrip(7)->GetCursor(), static_cast<vgui2::HCursor>(vgui2::dc_arrow));
    TheVGui().RunFrame();
    Drag(420, 330, 500, 400);
    EXPECT_EQ(frame->GetWide(), 330);
}

TEST_F(FrameTest, MovingTheCursorWithoutTheButtonEndsTheDrag) {
    Frame* frame = MakeFrame(100, 100, 300, 200);
    frame->Activate();
    TheVGui().RunFrame();
    TheInput().InternalCursorMoved(390, 290);
    TheInput().InternalMousePressed(vgui2::MOUSE_LEFT);
    EXPECT_TRUE(frame->GetGrip(7)->IsDragging());
    // The release happened outside any of our windows.
    TheInputImpl().BeginFrame();
    TheInput().InternalMouseReleased(vgui2::MOUSE_LEFT);
    TheInput().InternalCursorMoved(450, 350);
    EXPECT_FALSE(frame->GetGrip(7)->IsDragging());
    EXPECT_EQ(frame->GetWide(), 300);
}

TEST_F(FrameTest, CaptionDragSnapsToTheWorkAreaEdgeWithinNinePixels) {
    surface.workspaceX = 20;
    Frame* frame = MakeFrame(100, 100, 300, 200);
    frame->Activate();
    TheVGui().RunFrame();
    // Grabbed at (50, 10) inside the frame.
    Drag(150, 110, 79, 60);  // left edge would be at 29: 9 from the edge
    int x = 0, y = 0;
    frame->GetPos(x, y);
    EXPECT_EQ(x, 20);
    EXPECT_EQ(y, 50);

    TheVGui().RunFrame();
    Drag(70, 60, 80, 60);  // left edge at 30: 10 from the edge
    frame->GetPos(x, y);
    EXPECT_EQ(x, 30);

    TheVGui().RunFrame();
    Drag(80, 60, 80 + 800 - 300 - 30 - 5, 60);  // right edge 5 short of the screen's
    frame->GetPos(x, y);
    EXPECT_EQ(x + 300, 800);
}

TEST_F(FrameTest, CaptionDragSnapsToAVisiblePopupBeside) {
    Frame* frame = MakeFrame(100, 100, 200, 150);
    Frame* neighbour = MakeFrame(400, 120, 200, 150);
    neighbour->SetVisible(true);
    surface.popups = {neighbour->GetVPanel(), frame->GetVPanel()};
    frame->Activate();
    TheVGui().RunFrame();
    Drag(150, 110, 242, 110);  // right edge at 392: 8 short of the neighbour's left
    int x = 0, y = 0;
    frame->GetPos(x, y);
    EXPECT_EQ(x + 200, 400);

    neighbour->SetVisible(false);
    TheVGui().RunFrame();
    Drag(250, 110, 245, 110);
    frame->GetPos(x, y);
    EXPECT_EQ(x, 195) << "a hidden popup does not attract";
}

TEST_F(FrameTest, ImmovableFrameIgnoresItsCaption) {
    Frame* frame = MakeFrame(100, 100, 300, 200);
    frame->SetMoveable(false);
    frame->Activate();
    TheVGui().RunFrame();
    Drag(150, 110, 300, 300);
    int x = 0, y = 0;
    frame->GetPos(x, y);
    EXPECT_EQ(x, 100);
    EXPECT_EQ(y, 100);
}

// Keyboard -----------------------------------------------------------------------------

TEST_F(FrameTest, AltF4AndTheCloseButtonCloseThroughTheSamePath) {
    RecordingFrame* byKey = MakeFrame(0, 0, 300, 200);
    byKey->Activate();
    TypeWith({vgui2::KEY_LALT}, vgui2::KEY_F4);
    Deliver();
    EXPECT_FALSE(byKey->IsVisible());

    RecordingFrame* byButton = MakeFrame(0, 0, 300, 200);
    byButton->Activate();
    byButton->GetCloseButton()->DoClick();
    Deliver();
    EXPECT_FALSE(byButton->IsVisible());
    EXPECT_EQ(byKey->commands, std::vector<std::string>({"Close"}));
    EXPECT_EQ(byButton->commands, byKey->commands);
}

TEST_F(FrameTest, EscapePressPostsCancelAndTypedEscapeClosesAModalFrame) {
    RecordingFrame* frame = MakeFrame(0, 0, 300, 200);
    frame->DoModal();
    TypeWith({}, vgui2::KEY_ESCAPE);
    EXPECT_EQ(TheInput().GetAppModalSurface(), vgui2::kNoPanel);
    Deliver();
    EXPECT_FALSE(frame->IsVisible());
    EXPECT_EQ(frame->commands, std::vector<std::string>({"Cancel"}));

    surface.features.clear();
    RecordingFrame* plain = MakeFrame(0, 0, 300, 200);
    plain->DoModal();
    TypeWith({}, vgui2::KEY_ESCAPE);
    Deliver();
    EXPECT_TRUE(plain->IsVisible()) << "without the surface's escape feature Escape does nothing";
    EXPECT_TRUE(plain->commands.empty());
}

TEST_F(FrameTest, EnterPressesTheDefaultButtonAndHotkeysPressTheirChild) {
    auto* container = new toolkittest::RecordingContainer(nullptr, "target");
    m_made.push_back(vgui2::HandleOf(container));
    Frame* frame = MakeFrame(0, 0, 300, 200);
    auto* ok = new vgui2::Button(frame, "Ok", "&Go");
    ok->SetCommand("go");
    ok->AddActionSignalTarget(container);
    ok->SetAsDefaultButton(1);
    frame->Activate();
    Deliver();
    frame->GetFocusNavGroup().SetCurrentDefaultButton(ok->GetVPanel());
    TheInput().SetKeyFocus(frame->GetVPanel());
    TypeWith({}, vgui2::KEY_ENTER);
    Deliver();
    EXPECT_EQ(container->commands, std::vector<std::string>({"go"}));

    TheInput().InternalKeyTyped(u'G');
    Deliver();
    EXPECT_EQ(container->commands.size(), 2u) << "the hotkey letter in either case";

    ok->SetEnabled(false);
    TypeWith({}, vgui2::KEY_ENTER);
    TheInput().InternalKeyTyped(u'g');
    Deliver();
    EXPECT_EQ(container->commands.size(), 2u) << "a disabled button is not pressed";
}

TEST_F(FrameTest, ControlAltShiftBEntersBuildMode) {
    Frame* frame = MakeFrame(0, 0, 300, 200);
    frame->Activate();
    TypeWith({vgui2::KEY_LCONTROL, vgui2::KEY_LALT}, vgui2::KEY_B);
    EXPECT_FALSE(frame->GetContainedBuildGroup()->IsEnabled()) << "Shift is needed too";
    TypeWith({vgui2::KEY_LCONTROL, vgui2::KEY_LALT, vgui2::KEY_RSHIFT}, vgui2::KEY_B);
    EXPECT_TRUE(frame->GetContainedBuildGroup()->IsEnabled());
    frame->GetContainedBuildGroup()->SetEnabled(false);
}

TEST_F(FrameTest, ControlAltShiftRReloadsTheSchemes) {
    Frame* frame = MakeFrame(0, 0, 300, 200);
    frame->Activate();
    TypeWith({vgui2::KEY_RCONTROL, vgui2::KEY_RALT}, vgui2::KEY_R);
    EXPECT_EQ(schemes.reloads, 0);
    TypeWith({vgui2::KEY_RCONTROL, vgui2::KEY_RALT, vgui2::KEY_LSHIFT}, vgui2::KEY_R);
    EXPECT_EQ(schemes.reloads, 1);
}

TEST_F(FrameTest, TokenTitleIsRebuiltFromDialogVariables) {
    TheLocalize().AddString("Frame_Title", u"Version %version%", "test");
    Frame* frame = MakeFrame(0, 0, 300, 200);
    frame->SetTitle("#Frame_Title", true);
    frame->SetVariable("version", "1.2");
    vgui2::wchar title[64];
    frame->GetTitle(title, sizeof(title));
    EXPECT_EQ(std::u16string(title), u"Version 1.2");

    KeyValues* settings = new KeyValues("out");
    frame->GetSettings(settings);
    EXPECT_STREQ(settings->GetString("title"), "#Frame_Title") << "the token is what a layout keeps";
    settings->deleteThis();

    frame->SetTitle("Plain", false);
    frame->SetVariable("version", "2.0");
    frame->GetTitle(title, sizeof(title));
    EXPECT_EQ(std::u16string(title), u"Plain");
}

// System menu ---------------------------------------------------------------------------

TEST_F(FrameTest, SystemMenuItemsFollowTheTitleButtons) {
    Frame* frame = MakeFrame(0, 0, 300, 200);
    vgui2::Menu* menu = frame->GetSysMenu();
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(menu->GetItemCount(), 3);
    auto enabled = [&](int row) { return menu->GetMenuItem(menu->GetMenuID(row))->IsEnabled(); };
    EXPECT_TRUE(enabled(0)) << "minimize";
    EXPECT_FALSE(enabled(1)) << "maximize";
    EXPECT_TRUE(enabled(2)) << "close";
    EXPECT_EQ(frame->GetSystemButton()->GetMenu(), menu);

    frame->SetCloseButtonVisible(false);
    EXPECT_FALSE(enabled(2));

    HPanel oldHandle = vgui2::HandleOf(menu);
    auto* replacement = new vgui2::Menu(nullptr, "Replacement");
    frame->SetSysMenu(replacement);
    EXPECT_EQ(frame->GetSysMenu(), replacement);
    EXPECT_EQ(frame->GetSystemButton()->GetMenu(), replacement);
    TheVGui().RunFrame();
    EXPECT_FALSE(Alive(oldHandle));
}

TEST_F(FrameTest, SystemMenuOpensFromItsButtonAndItsCloseItemClosesTheFrame) {
    RecordingFrame* frame = MakeFrame(100, 100, 300, 200);
    frame->Activate();
    TheVGui().RunFrame();
    vgui2::Menu* menu = frame->GetSysMenu();
    frame->GetSystemButton()->DoClick();
    EXPECT_TRUE(menu->IsVisible());
    menu->ActivateItemByRow(2);
    Deliver();
    EXPECT_FALSE(frame->IsVisible());
    EXPECT_EQ(frame->commands, std::vector<std::string>({"Close"}));
}

TEST_F(FrameTest, DoublePressOnTheSystemButtonClosesTheFrame) {
    RecordingFrame* frame = MakeFrame(100, 100, 300, 200);
    frame->Activate();
    TheVGui().RunFrame();
    TheInput().InternalCursorMoved(100 + 10, 100 + 12);
    TheInput().InternalMouseDoublePressed(vgui2::MOUSE_LEFT);
    TheInput().InternalMouseReleased(vgui2::MOUSE_LEFT);
    Deliver();
    EXPECT_FALSE(frame->IsVisible());
    EXPECT_EQ(frame->commands.back(), "Close");
}

}  // namespace

// Top-level windows stay reachable: beside the frame on the right when there
// is room, else on the left, else shifted inside the work area.
TEST(WindowPlacement, BesideTheAnchorAndAlwaysInsideTheWorkArea) {
    using vgui2::ScreenRect;
    const ScreenRect area{0, 30, 1024, 738};
    struct Case {
        const char* what;
        ScreenRect anchor;
        ScreenRect expected;
    };
    const Case cases[] = {
        {"room on the right", {100, 100, 420, 214}, {520, 100, 460, 230}},
        {"no room right, room left", {540, 100, 420, 214}, {80, 100, 460, 230}},
        {"room on neither side: shifted in", {302, 277, 420, 214}, {564, 277, 460, 230}},
        {"anchor below the bottom edge", {100, 700, 420, 214}, {520, 538, 460, 230}},
        {"anchor above the work area", {100, 0, 420, 214}, {520, 30, 460, 230}},
    };
    for (const Case& c : cases) {
        ScreenRect placed = vgui2::PlaceBeside(c.anchor, 460, 230, area);
        EXPECT_EQ(placed.x, c.expected.x) << c.what;
        EXPECT_EQ(placed.y, c.expected.y) << c.what;
    }
    ScreenRect huge = vgui2::ShiftInside({-50, -50, 2000, 900}, area);
    EXPECT_EQ(huge.x, 0) << "a window larger than the area keeps its title bar reachable";
    EXPECT_EQ(huge.y, 30);
    ScreenRect unknown = vgui2::ShiftInside({-50, 5000, 10, 10}, ScreenRect{});
    EXPECT_EQ(unknown.x, -50) << "without a known screen nothing moves";
}
