// The input service: raw platform input turned into panel messages, the
// panel under the pointer, mouse capture, key focus, key and button state,
// the application-modal panel, deleted panels and out-of-range codes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/vgui2/PanelTestServices.h"

namespace {

using paneltest::RecordingPanel;
using Names = std::vector<std::string>;

class InputTest : public paneltest::ServicesTest {
protected:
    void SetUp() override {
        ServicesTest::SetUp();
        root = new RecordingPanel(nullptr, "root");
        root->SetSize(400, 300);
        left = new RecordingPanel(root, "left");
        left->SetBounds(0, 0, 100, 100);
        right = new RecordingPanel(root, "right");
        right->SetBounds(200, 0, 100, 100);
    }

    void TearDown() override {
        delete root;
        ServicesTest::TearDown();
    }

    void Clear() {
        for (RecordingPanel* panel : {root, left, right}) {
            panel->messages.clear();
        }
    }

    RecordingPanel* root = nullptr;
    RecordingPanel* left = nullptr;
    RecordingPanel* right = nullptr;
    vgui2::IInput& input = TheInput();
};

TEST_F(InputTest, PointerMovesEnterAndLeavePanelsFoundByHitTesting) {
    input.InternalCursorMoved(10, 20);
    EXPECT_EQ(input.GetMouseOver(), left->GetVPanel());
    EXPECT_EQ(left->Names(), (Names{"CursorEntered", "CursorMoved"}));
    EXPECT_EQ(left->messages[1].ints.at("xpos"), 10);
    EXPECT_EQ(left->messages[1].ints.at("ypos"), 20);

    Clear();
    input.InternalCursorMoved(250, 50);
    EXPECT_EQ(left->Names(), Names{"CursorExited"});
    EXPECT_EQ(right->Names(), (Names{"CursorEntered", "CursorMoved"}));

    Clear();
    input.InternalCursorMoved(150, 50);
    EXPECT_EQ(input.GetMouseOver(), root->GetVPanel());
    input.InternalCursorMoved(1000, 1000);
    EXPECT_EQ(input.GetMouseOver(), vgui2::kNoPanel);
    int x = 0, y = 0;
    input.GetCursorPos(x, y);
    EXPECT_EQ(x, 1000);
    EXPECT_EQ(y, 1000);
}

TEST_F(InputTest, ButtonsGoToThePanelUnderThePointerOrTheCapture) {
    input.InternalCursorMoved(10, 10);
    Clear();
    input.InternalMousePressed(vgui2::MOUSE_RIGHT);
    input.InternalMouseReleased(vgui2::MOUSE_RIGHT);
    input.InternalMouseDoublePressed(vgui2::MOUSE_LEFT);
    ASSERT_EQ(left->Names(), (Names{"MousePressed", "MouseReleased", "MouseDoublePressed"}));
    EXPECT_EQ(left->messages[0].ints.at("code"), vgui2::MOUSE_RIGHT);

    input.SetMouseCapture(right->GetVPanel());
    Clear();
    input.InternalCursorMoved(20, 20);
    input.InternalMousePressed(vgui2::MOUSE_LEFT);
    input.InternalMouseWheeled(2);
    EXPECT_EQ(right->Names(), (Names{"CursorMoved", "MousePressed", "MouseWheeled"}));
    EXPECT_EQ(input.GetMouseOver(), left->GetVPanel());

    input.SetMouseCapture(vgui2::kNoPanel);
    EXPECT_EQ(right->Names().back(), "MouseCaptureLost");
}

TEST_F(InputTest, ButtonAndKeyStatesLastForTheFrame) {
    input.InternalMousePressed(vgui2::MOUSE_LEFT);
    input.InternalKeyCodePressed(vgui2::KEY_LSHIFT);
    input.InternalKeyCodeTyped(vgui2::KEY_LSHIFT);
    EXPECT_TRUE(input.IsMouseDown(vgui2::MOUSE_LEFT));
    EXPECT_TRUE(input.WasMousePressed(vgui2::MOUSE_LEFT));
    EXPECT_TRUE(input.IsKeyDown(vgui2::KEY_LSHIFT));
    EXPECT_TRUE(input.WasKeyPressed(vgui2::KEY_LSHIFT));
    EXPECT_TRUE(input.WasKeyTyped(vgui2::KEY_LSHIFT));

    TheInputImpl().BeginFrame();
    EXPECT_TRUE(input.IsMouseDown(vgui2::MOUSE_LEFT));
    EXPECT_FALSE(input.WasMousePressed(vgui2::MOUSE_LEFT));
    EXPECT_TRUE(input.IsKeyDown(vgui2::KEY_LSHIFT));
    EXPECT_FALSE(input.WasKeyPressed(vgui2::KEY_LSHIFT));

    input.InternalMouseReleased(vgui2::MOUSE_LEFT);
    input.InternalKeyCodeReleased(vgui2::KEY_LSHIFT);
    EXPECT_FALSE(input.IsMouseDown(vgui2::MOUSE_LEFT));
    EXPECT_TRUE(input.WasMouseReleased(vgui2::MOUSE_LEFT));
    EXPECT_FALSE(input.IsKeyDown(vgui2::KEY_LSHIFT));
    EXPECT_TRUE(input.WasKeyReleased(vgui2::KEY_LSHIFT));
}

TEST_F(InputTest, OutOfRangeCodesAreIgnored) {
    input.InternalCursorMoved(10, 10);
    Clear();
    input.SetKeyFocus(left->GetVPanel());
    Clear();
    input.InternalKeyCodePressed(static_cast<vgui2::KeyCode>(-1));
    input.InternalKeyCodePressed(static_cast<vgui2::KeyCode>(100000));
    input.InternalMousePressed(static_cast<vgui2::MouseCode>(99));
    EXPECT_FALSE(input.IsKeyDown(static_cast<vgui2::KeyCode>(100000)));
    EXPECT_FALSE(input.IsMouseDown(static_cast<vgui2::MouseCode>(-5)));
    EXPECT_TRUE(left->Names().empty());
}

TEST_F(InputTest, KeyFocusReceivesKeysAndFocusChanges) {
    input.InternalKeyCodePressed(vgui2::KEY_A);  // nobody has focus: dropped
    input.SetKeyFocus(left->GetVPanel());
    EXPECT_EQ(left->Names(), Names{"SetFocus"});
    EXPECT_TRUE(left->HasFocus());

    Clear();
    input.InternalKeyCodePressed(vgui2::KEY_A);
    input.InternalKeyCodeTyped(vgui2::KEY_A);
    input.InternalKeyTyped(u'a');
    input.InternalKeyCodeReleased(vgui2::KEY_A);
    ASSERT_EQ(left->Names(), (Names{"KeyCodePressed", "KeyCodeTyped", "KeyTyped", "KeyCodeReleased"}));
    EXPECT_EQ(left->messages[2].ints.at("unichar"), 'a');
    // The plain panel does not use the keys, so they climb to the parent.
    EXPECT_EQ(root->Names(), (Names{"KeyCodePressed", "KeyCodeTyped", "KeyTyped", "KeyCodeReleased"}));

    Clear();
    input.SetKeyFocus(right->GetVPanel());
    EXPECT_EQ(left->Names(), Names{"KillFocus"});
    EXPECT_EQ(right->Names(), Names{"SetFocus"});
    EXPECT_EQ(input.GetFocus(), right->GetVPanel());
}

TEST_F(InputTest, RequestFocusClimbsToTheTopAndGivesTheKeyboardToTheRequester) {
    left->RequestFocus();
    EXPECT_EQ(input.GetFocus(), left->GetVPanel());
    EXPECT_NE(root->Find("OnRequestFocus"), nullptr);
}

TEST_F(InputTest, ModalPanelKeepsInputInsideItsTree) {
    input.SetKeyFocus(left->GetVPanel());
    input.SetAppModalSurface(right->GetVPanel());
    EXPECT_EQ(input.GetAppModalSurface(), right->GetVPanel());
    Clear();

    input.InternalCursorMoved(10, 10);
    EXPECT_EQ(input.GetMouseOver(), vgui2::kNoPanel);
    input.InternalMousePressed(vgui2::MOUSE_LEFT);
    input.InternalKeyCodePressed(vgui2::KEY_ENTER);
    EXPECT_TRUE(left->Names().empty());
    EXPECT_TRUE(root->Names().empty());

    input.SetKeyFocus(root->GetVPanel());
    EXPECT_EQ(input.GetFocus(), left->GetVPanel()) << "focus outside the modal panel is refused";

    input.InternalCursorMoved(210, 10);
    input.InternalMousePressed(vgui2::MOUSE_LEFT);
    EXPECT_EQ(right->Names(), (Names{"CursorEntered", "CursorMoved", "MousePressed"}));

    input.ReleaseAppModalSurface();
    input.InternalKeyCodePressed(vgui2::KEY_ENTER);
    EXPECT_EQ(left->Names(), Names{"KeyCodePressed"});
}

TEST_F(InputTest, DeletedPanelsLoseFocusCaptureAndModality) {
    auto* doomed = new RecordingPanel(root, "doomed");
    doomed->SetBounds(0, 200, 50, 50);
    input.SetKeyFocus(doomed->GetVPanel());
    input.SetMouseCapture(doomed->GetVPanel());
    input.InternalCursorMoved(10, 210);
    input.SetAppModalSurface(doomed->GetVPanel());
    delete doomed;
    EXPECT_EQ(input.GetFocus(), vgui2::kNoPanel);
    EXPECT_EQ(input.GetMouseCapture(), vgui2::kNoPanel);
    EXPECT_EQ(input.GetMouseOver(), vgui2::kNoPanel);
    EXPECT_EQ(input.GetAppModalSurface(), vgui2::kNoPanel);
    Clear();
    input.InternalMousePressed(vgui2::MOUSE_LEFT);
    input.InternalKeyCodePressed(vgui2::KEY_A);
    input.InternalCursorMoved(10, 10);
    EXPECT_EQ(left->Names(), (Names{"CursorEntered", "CursorMoved"}));
}

TEST_F(InputTest, KeyNamesCoverLettersDigitsAndSpecialKeys) {
    char text[16];
    input.GetKeyCodeText(vgui2::KEY_B, text, sizeof(text));
    EXPECT_STREQ(text, "B");
    input.GetKeyCodeText(vgui2::KEY_7, text, sizeof(text));
    EXPECT_STREQ(text, "7");
    input.GetKeyCodeText(vgui2::KEY_F4, text, sizeof(text));
    EXPECT_STREQ(text, "F4");
    input.GetKeyCodeText(vgui2::KEY_ENTER, text, sizeof(text));
    EXPECT_STREQ(text, "ENTER");
    input.GetKeyCodeText(vgui2::KEY_ESCAPE, text, 4);
    EXPECT_STREQ(text, "ESC");
}

}  // namespace
