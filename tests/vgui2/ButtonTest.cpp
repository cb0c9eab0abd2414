// Button: mouse activation of every type, keyboard activation with Space
// and Enter, the "url " command, borders and colours by state, the focus
// rectangle, default-button messages, requests and settings both ways.
#include <gtest/gtest.h>

#include <string>

#include "tests/vgui2/ToolkitTestServices.h"
#include "vgui2/Button.h"
#include "vgui2/ToggleButton.h"

namespace {

using vgui2::Button;
using vgui2::Color;
using vgui2::MOUSE_LEFT;
using vgui2::MOUSE_RIGHT;

class FakeBorder final : public vgui2::IBorder {
public:
    void Paint(vgui2::VPANEL) override {}
    void Paint(int, int, int, int) override {}
    void Paint(int, int, int, int, int, int, int) override {}
    void SetInset(int, int, int, int) override {}
    void GetInset(int& left, int& top, int& right, int& bottom) override { left = top = right = bottom = 0; }
    void ApplySchemeSettings(vgui2::IScheme*, KeyValues*) override {}
    const char* GetName() override { return "fake"; }
    void SetName(const char*) override {}
};

class ButtonTest : public toolkittest::ContainerTest {
protected:
    void SetUp() override {
        ContainerTest::SetUp();
        button = new Button(root, "Go", "Go");
        button->SetBounds(10, 10, 80, 24);
        button->SetCommand("go");
    }

    void MoveTo(int x, int y) { TheInput().InternalCursorMoved(x, y); }
    void Press(vgui2::MouseCode code = MOUSE_LEFT) { TheInput().InternalMousePressed(code); }
    void Release(vgui2::MouseCode code = MOUSE_LEFT) { TheInput().InternalMouseReleased(code); }

    size_t Clicks() {
        Deliver();
        return root->commands.size();
    }

    Button* button = nullptr;
};

TEST_F(ButtonTest, PressAndReleaseOverTheButtonClicksOnce) {
    MoveTo(20, 20);
    EXPECT_TRUE(button->IsArmed());
    Press();
    EXPECT_TRUE(button->IsDepressed());
    EXPECT_EQ(TheInput().GetMouseCapture(), button->GetVPanel());
    Release();
    EXPECT_EQ(TheInput().GetMouseCapture(), vgui2::kNoPanel);
    EXPECT_FALSE(button->IsSelected());
    ASSERT_EQ(Clicks(), 1u);
    EXPECT_EQ(root->commands[0], "go");
    MoveTo(300, 200);
    EXPECT_FALSE(button->IsArmed());
}

TEST_F(ButtonTest, WithoutMouseCaptureAPressNeitherCapturesNorSelects) {
    button->SetUseCaptureMouse(false);
    EXPECT_FALSE(button->IsUseCaptureMouseEnabled());
    MoveTo(20, 20);
    Press();
    EXPECT_EQ(TheInput().GetMouseCapture(), vgui2::kNoPanel);
    EXPECT_FALSE(button->IsSelected());
    Release();
    EXPECT_EQ(Clicks(), 0u);
}

TEST_F(ButtonTest, ReleaseWithoutPressOrAwayFromTheButtonDoesNotClick) {
    MoveTo(20, 20);
    Release();
    EXPECT_EQ(Clicks(), 0u);

    Press();
    MoveTo(300, 200);
    EXPECT_FALSE(button->IsDepressed()) << "pressed but no longer armed";
    Release();
    EXPECT_FALSE(button->IsSelected());
    EXPECT_EQ(Clicks(), 0u);
}

TEST_F(ButtonTest, OnlyEnabledMouseButtonsOnAnEnabledButtonActivate) {
    MoveTo(20, 20);
    Press(MOUSE_RIGHT);
    Release(MOUSE_RIGHT);
    EXPECT_EQ(Clicks(), 0u);
    button->SetMouseClickEnabled(MOUSE_RIGHT, true);
    Press(MOUSE_RIGHT);
    Release(MOUSE_RIGHT);
    EXPECT_EQ(Clicks(), 1u);

    button->SetEnabled(false);
    Press();
    Release();
    EXPECT_EQ(Clicks(), 1u);
}

TEST_F(ButtonTest, ActivationTypesChooseWhetherPressOrReleaseClicks) {
    button->SetButtonActivationType(Button::ACTIVATE_ONPRESSED);
    MoveTo(20, 20);
    Press();
    EXPECT_EQ(Clicks(), 1u);
    Release();
    EXPECT_EQ(Clicks(), 1u) << "the release adds nothing";

    button->SetButtonActivationType(Button::ACTIVATE_ONRELEASED);
    Release();
    EXPECT_EQ(Clicks(), 2u) << "a release over the button clicks without a press";
    MoveTo(300, 200);
    Release();
    EXPECT_EQ(Clicks(), 2u);
}

TEST_F(ButtonTest, SpaceHeldAndReleasedClicksOnce) {
    TheInput().SetKeyFocus(button->GetVPanel());
    TheInput().InternalKeyCodePressed(vgui2::KEY_SPACE);
    EXPECT_TRUE(button->IsArmed());
    EXPECT_TRUE(button->IsDepressed());
    EXPECT_EQ(TheInput().GetMouseCapture(), vgui2::kNoPanel) << "a key press keeps no mouse capture";
    TheInput().InternalKeyCodeTyped(vgui2::KEY_SPACE);
    TheInput().InternalKeyCodeTyped(vgui2::KEY_SPACE);
    EXPECT_EQ(Clicks(), 0u);
    TheInput().InternalKeyCodeReleased(vgui2::KEY_SPACE);
    EXPECT_EQ(Clicks(), 1u);
    EXPECT_FALSE(button->IsArmed());

    // A release without the press does nothing.
    TheInput().InternalKeyCodeReleased(vgui2::KEY_SPACE);
    EXPECT_EQ(Clicks(), 1u);
}

TEST_F(ButtonTest, EnterOnAFocusedDefaultButtonClicksOnce) {
    button->SetAsDefaultButton(1);
    Deliver();
    TheInput().SetKeyFocus(button->GetVPanel());
    TypeKey(vgui2::KEY_ENTER);
    EXPECT_EQ(Clicks(), 1u);
}

TEST_F(ButtonTest, OtherKeysClimbToTheParent) {
    TheInput().SetKeyFocus(button->GetVPanel());
    TheInput().InternalKeyCodePressed(vgui2::KEY_A);
    TheInput().InternalKeyCodeReleased(vgui2::KEY_A);
    EXPECT_FALSE(button->IsArmed());
    EXPECT_EQ(Clicks(), 0u);
}

TEST_F(ButtonTest, UrlCommandOpensTheAddressAndIsStillSent) {
    button->SetCommand("URL https://example.org/notes");
    button->DoClick();
    ASSERT_EQ(system.opened.size(), 1u);
    EXPECT_EQ(system.opened[0], "open https://example.org/notes");
    ASSERT_EQ(Clicks(), 1u);
    EXPECT_EQ(root->commands[0], "URL https://example.org/notes");

    button->SetCommand("url no-scheme-here");
    button->DoClick();
    EXPECT_EQ(system.opened.size(), 1u);
    EXPECT_EQ(Clicks(), 2u);

    button->SetCommand(static_cast<KeyValues*>(nullptr));
    button->DoClick();
    EXPECT_EQ(Clicks(), 2u) << "without a command nothing is sent";
}

TEST_F(ButtonTest, BorderFollowsTheState) {
    FakeBorder normal, depressed, keyFocus;
    button->SetDefaultBorder(&normal);
    button->SetDepressedBorder(&depressed);
    button->SetKeyFocusBorder(&keyFocus);
    EXPECT_EQ(button->GetBorder(false, false, false, false), &normal);
    EXPECT_EQ(button->GetBorder(false, false, false, true), &keyFocus);
    EXPECT_EQ(button->GetBorder(true, true, true, true), &depressed);
    button->SetAsCurrentDefaultButton(1);
    EXPECT_EQ(button->GetBorder(false, false, false, false), &keyFocus);
    button->SetEnabled(false);
    EXPECT_EQ(button->GetBorder(false, false, false, false), &normal);
    EXPECT_EQ(button->GetBorder(false, false, false, true), &normal) << "a disabled button shows no focus";
    button->SetEnabled(true);
    button->SetButtonBorderEnabled(false);
    EXPECT_EQ(button->GetBorder(false, false, false, true), &normal);

    button->SetButtonBorderEnabled(true);
    MoveTo(20, 20);
    Press();
    button->InvalidateLayout(true);
    EXPECT_EQ(button->vgui2::Panel::GetBorder(), &depressed);
    Release();
}

TEST_F(ButtonTest, ColoursFallBackThroughTheSchemeChain) {
    schemes.colors["ButtonFgColor"] = Color(1, 0, 0, 255);
    schemes.colors["ButtonBgColor"] = Color(2, 0, 0, 255);
    schemes.colors["ButtonArmedBgColor"] = Color(3, 0, 0, 255);
    schemes.colors["ButtonDepressedFgColor"] = Color(4, 0, 0, 255);
    button->InvalidateLayout(true, true);
    EXPECT_EQ(button->GetFgColor(), Color(1, 0, 0, 255));
    EXPECT_EQ(button->GetBgColor(), Color(2, 0, 0, 255));

    MoveTo(20, 20);
    button->InvalidateLayout(true);
    EXPECT_EQ(button->GetFgColor(), Color(1, 0, 0, 255)) << "armed foreground falls back to the default";
    EXPECT_EQ(button->GetBgColor(), Color(3, 0, 0, 255));

    Press();
    button->InvalidateLayout(true);
    EXPECT_EQ(button->GetFgColor(), Color(4, 0, 0, 255));
    EXPECT_EQ(button->GetBgColor(), Color(2, 0, 0, 255)) << "depressed background falls back to the default";
    Release();
}

TEST_F(ButtonTest, FocusedButtonDrawsADottedRectangle) {
    schemes.colors["ButtonFocusBorder"] = Color(9, 9, 9, 255);
    button->InvalidateLayout(true, true);
    auto dots = [&] {
        surface.filledRects.clear();
        button->PaintTraverse(true, true);
        std::vector<paneltest::FakeSurface::FilledRect> found;
        for (const auto& rect : surface.filledRects) {
            if (rect.color == Color(9, 9, 9, 255)) {
                found.push_back(rect);
            }
        }
        return found;
    };
    EXPECT_TRUE(dots().empty());

    TheInput().SetKeyFocus(button->GetVPanel());
    std::vector<paneltest::FakeSurface::FilledRect> found = dots();
    ASSERT_FALSE(found.empty());
    // Top row: one-pixel dots from (3, 3) every second pixel up to 80 - 4.
    EXPECT_EQ(found[0].x0, 3);
    EXPECT_EQ(found[0].y0, 3);
    EXPECT_EQ(found[0].x1, 4);
    EXPECT_EQ(found[1].x0, 5);
    for (const auto& dot : found) {
        EXPECT_GE(dot.x0, 3);
        EXPECT_LE(dot.x1, 80 - 4);
        EXPECT_GE(dot.y0, 3);
        EXPECT_LE(dot.y1, 24 - 2);
        EXPECT_EQ((dot.x1 - dot.x0) * (dot.y1 - dot.y0), 1);
    }

    button->SetEnabled(false);
    EXPECT_TRUE(dots().empty());
}

TEST_F(ButtonTest, DefaultButtonFlagsTellTheContainer) {
    button->SetAsDefaultButton(1);
    Deliver();
    EXPECT_EQ(root->GetFocusNavGroup().GetDefaultButton(), button->GetVPanel());
    EXPECT_TRUE(button->IsCurrentDefaultButton()) << "the container made it current and told it so";

    auto* other = new Button(root, "Other", "Other");
    other->SetAsDefaultButton(1);
    Deliver();
    EXPECT_EQ(root->GetFocusNavGroup().GetDefaultButton(), other->GetVPanel());
    EXPECT_FALSE(button->IsCurrentDefaultButton());
    EXPECT_TRUE(other->IsCurrentDefaultButton());
}

TEST_F(ButtonTest, RequestsAndStateMessagesAnswerFromTheButton) {
    KeyValues* request = new KeyValues("CanBeDefaultButton");
    ASSERT_TRUE(button->RequestInfo(request));
    EXPECT_EQ(request->GetInt("result"), 1);
    request->deleteThis();

    KeyValues* setState = new KeyValues("SetState", "state", 1);
    button->OnMessage(setState, vgui2::kNoPanel);
    setState->deleteThis();
    request = new KeyValues("GetState");
    ASSERT_TRUE(button->RequestInfo(request));
    EXPECT_EQ(request->GetInt("state"), 1);
    request->deleteThis();

    request = new KeyValues("GetCommand");
    ASSERT_TRUE(button->RequestInfo(request));
    EXPECT_STREQ(request->GetString("command"), "go");
    request->deleteThis();

    KeyValues* press = new KeyValues("PressButton");
    button->OnMessage(press, vgui2::kNoPanel);
    press->deleteThis();
    EXPECT_EQ(Clicks(), 1u);
}

TEST_F(ButtonTest, SettingsReadBackAsTheyWereGiven) {
    KeyValues* settings = new KeyValues("Go");
    settings->SetString("labelText", "&Update");
    settings->SetString("command", "update");
    settings->SetInt("default", 1);
    settings->SetInt("dulltext", 1);
    button->ApplySettings(settings);
    settings->deleteThis();
    EXPECT_EQ(button->GetTextColorState(), vgui2::Label::CS_BRIGHT_BASE) << "buttons keep the bright base text";
    EXPECT_TRUE(button->IsDefaultButton());
    EXPECT_EQ(button->HasHotkey(u'u'), button);

    KeyValues* back = new KeyValues("Go");
    button->GetSettings(back);
    EXPECT_STREQ(back->GetString("ControlName"), "Button");
    EXPECT_STREQ(back->GetString("command"), "update");
    EXPECT_EQ(back->GetInt("default"), 1);
    EXPECT_STREQ(back->GetString("labelText"), "&Update");
    back->deleteThis();
    EXPECT_NE(std::string(button->GetDescription()).find("string command, int default"), std::string::npos);
}

TEST_F(ButtonTest, SizeToContentsLeavesRoomAroundTheText) {
    button->SetText("abc");
    button->SizeToContents();
    EXPECT_EQ(button->GetWide(), 6 + 3 * kCharWidth + 8);
    EXPECT_EQ(button->GetTall(), kFontTall + 8);
}

TEST_F(ButtonTest, ToggleButtonStaysDownUntilTheNextClick) {
    auto* toggle = new vgui2::ToggleButton(root, "Toggle", "T");
    toggle->SetBounds(100, 10, 40, 24);
    toggle->SetCommand("toggled");
    MoveTo(110, 20);
    Press();
    Release();
    EXPECT_TRUE(toggle->IsSelected());
    EXPECT_TRUE(toggle->IsDepressed());
    Press();
    Release();
    EXPECT_FALSE(toggle->IsSelected());
    EXPECT_EQ(Clicks(), 2u);
}

}  // namespace
