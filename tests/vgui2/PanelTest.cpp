// Panel: defaults, action signals and posting, information requests, input
// routing and climbing, layout and scheme steps, painting, hit testing,
// parenting, deletion, and settings round trips.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/vgui2/PanelTestServices.h"
#include "vgui2/BuildGroup.h"

namespace {

using paneltest::RecordingPanel;
using vgui2::Color;
using vgui2::Panel;
using vgui2::VPANEL;

// Counts its destructions and layout steps, and answers one request.
class CountingPanel : public RecordingPanel {
public:
    CountingPanel(Panel* parent, const char* name, int* destroyed = nullptr)
        : RecordingPanel(parent, name), m_destroyed(destroyed) {}
    ~CountingPanel() override {
        if (m_destroyed) {
            ++*m_destroyed;
        }
    }
    void PerformLayout() override { ++layouts; }
    bool RequestInfo(KeyValues* request) override {
        if (std::string(request->GetName()) == "Answer") {
            request->SetInt("answer", 42);
            return true;
        }
        return Panel::RequestInfo(request);
    }
    bool RequestFocusNext(VPANEL existing) override {
        focusNextFrom.push_back(existing);
        return true;
    }
    bool RequestFocusPrev(VPANEL existing) override {
        focusPrevFrom.push_back(existing);
        return true;
    }
    VPANEL GetCurrentKeyFocus() override { return currentKeyFocus; }

    int layouts = 0;
    std::vector<VPANEL> focusNextFrom;
    std::vector<VPANEL> focusPrevFrom;
    VPANEL currentKeyFocus = vgui2::kNoPanel;

private:
    int* m_destroyed;
};

class PanelTest : public paneltest::ServicesTest {
protected:
    void SetUp() override {
        ServicesTest::SetUp();
        root = new CountingPanel(nullptr, "root");
    }

    void TearDown() override {
        delete root;
        ServicesTest::TearDown();
    }

    CountingPanel* root = nullptr;
};

TEST_F(PanelTest, NewPanelHasTheDocumentedDefaults) {
    Panel* panel = new Panel(root, nullptr);
    int x = -1, y = -1, wide = 0, tall = 0;
    panel->GetBounds(x, y, wide, tall);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);
    EXPECT_EQ(wide, 64);
    EXPECT_EQ(tall, 24);
    EXPECT_STREQ(panel->GetName(), "");
    EXPECT_EQ(panel->GetCursor(), static_cast<vgui2::HCursor>(vgui2::dc_arrow));
    EXPECT_TRUE(panel->IsAutoDeleteSet());
    EXPECT_TRUE(panel->IsLayoutInvalid());
    EXPECT_EQ(panel->GetFgColor(), Color());
    EXPECT_EQ(panel->GetBgColor(), Color());
    EXPECT_EQ(panel->GetParent(), root);
    EXPECT_EQ(panel->QueryInterface(0), panel);
    EXPECT_EQ(panel->QueryInterface(1), nullptr);
    EXPECT_STREQ(panel->GetModuleName(), "Updater");
}

TEST_F(PanelTest, ActionSignalSkipsDeadTargetsAndCopiesToAllButTheFirst) {
    TheVGui().Start();
    auto* first = new RecordingPanel(root, "first");
    auto* second = new RecordingPanel(root, "second");
    auto* third = new RecordingPanel(root, "third");
    auto* source = new RecordingPanel(root, "source");
    for (Panel* target : {static_cast<Panel*>(first), static_cast<Panel*>(second), static_cast<Panel*>(third)}) {
        source->AddActionSignalTarget(target);
    }
    source->AddActionSignalTarget(first);
    EXPECT_EQ(source->GetActionSignalTargets().size(), 3u);
    delete second;

    KeyValues* command = new KeyValues("Command");
    command->SetString("command", "update");
    source->PostActionSignal(command);
    RunFramesUntil([&] { return TheVGuiImpl().PendingMessageCount() == 0; });

    for (RecordingPanel* target : {first, third}) {
        const RecordingPanel::Received* got = target->Find("Command");
        ASSERT_NE(got, nullptr) << target->GetName();
        EXPECT_EQ(got->texts.at("command"), "update");
        EXPECT_EQ(got->panel, source);
    }
}

TEST_F(PanelTest, ActionSignalWithoutLiveFirstTargetStillReachesTheOthers) {
    TheVGui().Start();
    auto* gone = new RecordingPanel(root, "gone");
    auto* alive = new RecordingPanel(root, "alive");
    auto* source = new RecordingPanel(root, "source");
    source->AddActionSignalTarget(gone);
    source->AddActionSignalTarget(alive);
    delete gone;
    source->PostActionSignal(new KeyValues("Activated"));
    // No target at all: the message is simply dropped (the leak checker
    // watches that it is freed).
    auto* lonely = new RecordingPanel(root, "lonely");
    lonely->PostActionSignal(new KeyValues("Activated"));
    RunFramesUntil([&] { return TheVGuiImpl().PendingMessageCount() == 0; });
    EXPECT_EQ(alive->Names(), std::vector<std::string>{"Activated"});
}

TEST_F(PanelTest, PostToChildFindsTheNameWithoutRegardToCase) {
    TheVGui().Start();
    auto* child = new RecordingPanel(root, "UpdateButton");
    root->PostMessageToChild("updatebutton", new KeyValues("Hello"));
    root->PostMessageToChild("NoSuchChild", new KeyValues("Lost"));
    RunFramesUntil([&] { return TheVGuiImpl().PendingMessageCount() == 0; });
    EXPECT_EQ(child->Names(), std::vector<std::string>{"Hello"});
    EXPECT_EQ(root->Find("Lost"), nullptr);
}

TEST_F(PanelTest, InformationRequestsClimbToTheParent) {
    Panel* child = new Panel(root, "child");
    Panel* grandchild = new Panel(child, "grandchild");
    KeyValues* request = new KeyValues("Answer");
    EXPECT_TRUE(grandchild->RequestInfo(request));
    EXPECT_EQ(request->GetInt("answer"), 42);
    request->deleteThis();

    request = new KeyValues("Unknown");
    EXPECT_FALSE(grandchild->RequestInfo(request));
    EXPECT_FALSE(root->RequestInfoFromChild("nobody", request));
    request->deleteThis();

    auto* answering = new CountingPanel(root, "Answering");
    (void)answering;
    request = new KeyValues("Answer");
    EXPECT_TRUE(root->RequestInfoFromChild("answering", request));
    request->deleteThis();
}

TEST_F(PanelTest, UnhandledKeysAndWheelClimbToTheParent) {
    Panel* child = new Panel(root, "child");
    for (KeyValues* message : {new KeyValues("KeyCodePressed", "code", vgui2::KEY_A),
                               new KeyValues("KeyTyped", "unichar", 0x1F600),
                               new KeyValues("MouseWheeled", "delta", -3)}) {
        child->OnMessage(message, vgui2::kNoPanel);
        message->deleteThis();
    }
    ASSERT_EQ(root->Names(), (std::vector<std::string>{"KeyCodePressed", "KeyTyped", "MouseWheeled"}));
    EXPECT_EQ(root->messages[0].ints.at("code"), vgui2::KEY_A);
    // Typed characters travel as 16-bit units.
    EXPECT_EQ(root->messages[1].ints.at("unichar"), 0xF600);
    EXPECT_EQ(root->messages[2].ints.at("delta"), -3);
}

TEST_F(PanelTest, KeyboardDisabledPanelPassesTypedKeysToItsParent) {
    Panel* child = new Panel(root, "child");
    child->SetKeyBoardInputEnabled(false);
    KeyValues* typed = new KeyValues("KeyCodeTyped", "code", vgui2::KEY_Q);
    child->OnMessage(typed, vgui2::kNoPanel);
    typed->deleteThis();
    ASSERT_NE(root->Find("KeyCodeTyped"), nullptr);
    EXPECT_EQ(root->Find("KeyCodeTyped")->ints.at("code"), vgui2::KEY_Q);
}

TEST_F(PanelTest, TabMovesFocusNextAndShiftTabPrevious) {
    Panel* child = new Panel(root, "child");
    KeyValues* tab = new KeyValues("KeyCodeTyped", "code", vgui2::KEY_TAB);
    child->OnMessage(tab, vgui2::kNoPanel);
    TheInput().InternalKeyCodePressed(vgui2::KEY_RSHIFT);
    child->OnMessage(tab, vgui2::kNoPanel);
    TheInput().InternalKeyCodeReleased(vgui2::KEY_RSHIFT);
    tab->deleteThis();
    EXPECT_EQ(root->focusNextFrom, std::vector<VPANEL>{child->GetVPanel()});
    EXPECT_EQ(root->focusPrevFrom, std::vector<VPANEL>{child->GetVPanel()});
    EXPECT_EQ(root->Find("KeyCodeTyped"), nullptr);
}

TEST_F(PanelTest, DisablingKeyboardOnTheFocusedChildMovesFocusOn) {
    Panel* child = new Panel(root, "child");
    root->currentKeyFocus = child->GetVPanel();
    child->SetKeyBoardInputEnabled(false);
    EXPECT_EQ(root->focusNextFrom, std::vector<VPANEL>{child->GetVPanel()});
}

TEST_F(PanelTest, PointerInputIsIgnoredWithoutCursorOrMouseInput) {
    class Clicks : public Panel {
    public:
        using Panel::Panel;
        void OnMousePressed(vgui2::MouseCode) override { ++presses; }
        void OnCursorMoved(int x, int y) override {
            lastX = x;
            lastY = y;
        }
        int presses = 0;
        int lastX = -1, lastY = -1;
    };
    auto* panel = new Clicks(root, "clicks");
    panel->SetPos(10, 20);
    KeyValues* press = new KeyValues("MousePressed", "code", vgui2::MOUSE_LEFT);
    panel->OnMessage(press, vgui2::kNoPanel);
    panel->SetCursor(vgui2::dc_none);
    panel->OnMessage(press, vgui2::kNoPanel);
    panel->SetCursor(vgui2::dc_arrow);
    panel->SetMouseInputEnabled(false);
    panel->OnMessage(press, vgui2::kNoPanel);
    press->deleteThis();
    EXPECT_EQ(panel->presses, 1);

    panel->SetMouseInputEnabled(true);
    KeyValues* moved = new KeyValues("CursorMoved", "xpos", 15, "ypos", 27);
    panel->OnMessage(moved, vgui2::kNoPanel);
    moved->deleteThis();
    EXPECT_EQ(panel->lastX, 5);
    EXPECT_EQ(panel->lastY, 7);
}

TEST_F(PanelTest, BuildModeTakesOverPointerInput) {
    vgui2::BuildGroup group(root, root);
    auto* control = new Panel(root, "Control");
    control->SetBuildGroup(&group);
    group.SetEnabled(true);
    ASSERT_TRUE(control->IsBuildModeActive());

    TheInput().SetCursorPos(5, 5);
    KeyValues* press = new KeyValues("MousePressed", "code", vgui2::MOUSE_LEFT);
    control->OnMessage(press, vgui2::kNoPanel);
    press->deleteThis();
    EXPECT_EQ(group.GetCurrentPanel(), control);
    EXPECT_TRUE(group.IsSelected(control));
    EXPECT_EQ(TheInput().GetMouseCapture(), control->GetVPanel());

    KeyValues* moved = new KeyValues("CursorMoved", "xpos", 25, "ypos", 15);
    control->OnMessage(moved, vgui2::kNoPanel);
    moved->deleteThis();
    int x = 0, y = 0;
    control->GetPos(x, y);
    EXPECT_EQ(x, 20);
    EXPECT_EQ(y, 10);

    KeyValues* released = new KeyValues("MouseReleased", "code", vgui2::MOUSE_LEFT);
    control->OnMessage(released, vgui2::kNoPanel);
    released->deleteThis();
    EXPECT_EQ(TheInput().GetMouseCapture(), vgui2::kNoPanel);

    KeyValues* right = new KeyValues("KeyCodeTyped", "code", vgui2::KEY_RIGHT);
    control->OnMessage(right, vgui2::kNoPanel);
    right->deleteThis();
    control->GetPos(x, y);
    EXPECT_EQ(x, 21);
}

TEST_F(PanelTest, LayoutRunsOnThinkOnlyWhenVisibleAndAtOnceWhenAsked) {
    auto* panel = new CountingPanel(root, "layout");
    panel->SetVisible(false);
    panel->Think();
    EXPECT_EQ(panel->layouts, 0);
    panel->SetVisible(true);
    panel->Think();
    EXPECT_EQ(panel->layouts, 1);
    panel->Think();
    EXPECT_EQ(panel->layouts, 1);

    surface.invalidated.clear();
    panel->InvalidateLayout(true);
    EXPECT_EQ(panel->layouts, 2);
    EXPECT_FALSE(panel->IsLayoutInvalid());
    EXPECT_EQ(surface.invalidated, std::vector<VPANEL>{panel->GetVPanel()});

    panel->SetSize(100, 100);
    EXPECT_TRUE(panel->IsLayoutInvalid());
}

TEST_F(PanelTest, SchemeStepTakesColoursFromTheInheritedScheme) {
    schemes.colors["FgColor"] = Color(1, 2, 3, 4);
    Panel* child = new Panel(root, "child");
    child->PerformApplySchemeSettings();
    EXPECT_EQ(child->GetFgColor(), Color(1, 2, 3, 4));
    // A missing colour falls back to opaque white.
    EXPECT_EQ(child->GetBgColor(), Color(255, 255, 255, 255));

    // Applied once; a change in the scheme waits for a reload.
    schemes.colors["FgColor"] = Color(9, 9, 9, 9);
    child->PerformApplySchemeSettings();
    EXPECT_EQ(child->GetFgColor(), Color(1, 2, 3, 4));
    root->InvalidateLayout(false, true);
    EXPECT_EQ(child->GetFgColor(), Color(9, 9, 9, 9));

    child->SetScheme("NoSuchScheme");
    EXPECT_EQ(child->GetScheme(), 1u);
    child->SetScheme("Test");
    EXPECT_EQ(child->GetScheme(), 1u);
}

TEST_F(PanelTest, PaintPassPaintsPendingRepaintsAndSkipsHiddenPanels) {
    root->SetBgColor(Color(10, 20, 30, 255));
    root->SetSize(200, 100);
    auto* child = new Panel(root, "child");
    child->SetBgColor(Color(40, 50, 60, 255));

    root->PaintTraverse(false, true);
    EXPECT_TRUE(surface.filledColors.empty()) << "nothing asked for a repaint";

    child->Repaint();
    root->PaintTraverse(false, true);
    EXPECT_EQ(surface.filledColors, std::vector<Color>{Color(40, 50, 60, 255)});

    surface.filledColors.clear();
    root->PaintTraverse(true, true);
    EXPECT_EQ(surface.filledColors, (std::vector<Color>{Color(10, 20, 30, 255), Color(40, 50, 60, 255)}));

    surface.filledColors.clear();
    child->SetPaintBackgroundEnabled(false);
    root->SetVisible(false);
    root->PaintTraverse(true, true);
    EXPECT_TRUE(surface.filledColors.empty());
    root->SetVisible(true);
    root->PaintTraverse(true, true);
    EXPECT_EQ(surface.filledColors, std::vector<Color>{Color(10, 20, 30, 255)});
    EXPECT_TRUE(root->IsOpaque());
}

TEST_F(PanelTest, HitTestingFindsTheTopmostVisibleChild) {
    root->SetSize(300, 300);
    auto* lower = new Panel(root, "lower");
    lower->SetBounds(10, 10, 100, 100);
    auto* upper = new Panel(root, "upper");
    upper->SetBounds(50, 50, 100, 100);
    auto* nested = new Panel(upper, "nested");
    nested->SetBounds(5, 5, 10, 10);

    EXPECT_EQ(root->IsWithinTraverse(60, 60, false), nested->GetVPanel());
    EXPECT_EQ(root->IsWithinTraverse(70, 70, false), upper->GetVPanel());
    EXPECT_EQ(root->IsWithinTraverse(20, 20, false), lower->GetVPanel());
    EXPECT_EQ(root->IsWithinTraverse(250, 250, false), root->GetVPanel());
    EXPECT_EQ(root->IsWithinTraverse(400, 400, false), vgui2::kNoPanel);

    upper->SetVisible(false);
    EXPECT_EQ(root->IsWithinTraverse(60, 60, false), lower->GetVPanel());
    lower->SetMouseInputEnabled(false);
    EXPECT_EQ(root->IsWithinTraverse(60, 60, false), root->GetVPanel());

    // A popup outside its parent's rectangle is still found, and before the
    // ordinary children.
    auto* popup = new Panel(root, "popup");
    popup->MakePopup();
    popup->SetBounds(280, 280, 50, 50);
    EXPECT_EQ(root->IsWithinTraverse(320, 320, true), popup->GetVPanel());
    EXPECT_EQ(root->IsWithinTraverse(320, 320, false), vgui2::kNoPanel);
}

TEST_F(PanelTest, ParentingTakesOverProportionalAndInputFlags) {
    auto* parent = new Panel(root, "parent");
    parent->SetProportional(true);
    parent->SetMouseInputEnabled(false);
    auto* child = new Panel(nullptr, "child");
    child->SetParent(parent);
    EXPECT_TRUE(child->IsProportional());
    EXPECT_FALSE(child->IsMouseInputEnabled());
    EXPECT_TRUE(child->IsKeyBoardInputEnabled());
    EXPECT_TRUE(child->HasParent(root->GetVPanel()));

    parent->SetProportional(false);
    EXPECT_FALSE(child->IsProportional());
}

TEST_F(PanelTest, DestructorDeletesAutoDeleteChildrenAndDetachesTheRest) {
    int destroyed = 0;
    auto* parent = new CountingPanel(root, "parent", &destroyed);
    new CountingPanel(parent, "owned", &destroyed);
    auto* kept = new CountingPanel(parent, "kept", &destroyed);
    kept->SetAutoDelete(false);
    delete parent;
    EXPECT_EQ(destroyed, 2);
    EXPECT_EQ(kept->GetParent(), nullptr);
    delete kept;
}

TEST_F(PanelTest, MarkingForDeletionTwiceDeletesOnce) {
    int destroyed = 0;
    TheVGui().Start();
    auto* doomed = new CountingPanel(root, "doomed", &destroyed);
    doomed->MarkForDeletion();
    doomed->MarkForDeletion();
    EXPECT_EQ(destroyed, 0) << "the running loop deletes after the frame";
    TheVGui().RunFrame();
    EXPECT_EQ(destroyed, 1);
    TheVGui().RunFrame();
    EXPECT_EQ(destroyed, 1);

    TheVGui().Stop();
    auto* immediate = new CountingPanel(root, "immediate", &destroyed);
    immediate->MarkForDeletion();
    EXPECT_EQ(destroyed, 2);
}

TEST_F(PanelTest, DeleteMessageDeletesAtOnce) {
    int destroyed = 0;
    auto* doomed = new CountingPanel(root, "doomed", &destroyed);
    KeyValues* message = new KeyValues("Delete");
    EXPECT_TRUE(doomed->OnMessage(message, vgui2::kNoPanel));
    message->deleteThis();
    EXPECT_EQ(destroyed, 1);
    EXPECT_EQ(root->GetChildCount(), 0);
}

TEST_F(PanelTest, FromRightAndFromCentrePositionsRoundTrip) {
    auto* panel = new Panel(root, "placed");
    KeyValues* settings = new KeyValues("placed");
    settings->SetString("xpos", "r20");
    settings->SetString("ypos", "c-50");
    settings->SetInt("wide", 120);
    settings->SetInt("tall", 30);
    panel->ApplySettings(settings);
    settings->deleteThis();
    int x = 0, y = 0;
    panel->GetPos(x, y);
    EXPECT_EQ(x, 780);
    EXPECT_EQ(y, 250);

    KeyValues* written = new KeyValues("out");
    panel->GetSettings(written);
    EXPECT_STREQ(written->GetString("xpos"), "r20");
    EXPECT_STREQ(written->GetString("ypos"), "c-50");
    EXPECT_EQ(written->GetInt("wide"), 120);
    EXPECT_STREQ(written->GetString("ControlName"), "Panel");
    EXPECT_STREQ(written->GetString("fieldName"), "placed");
    EXPECT_EQ(written->FindKey("paintborder"), nullptr);
    EXPECT_EQ(written->FindKey("zpos"), nullptr);
    EXPECT_EQ(written->FindKey("tooltiptext"), nullptr);

    // Applying what was written reproduces the panel.
    auto* copy = new Panel(root, "copy");
    copy->ApplySettings(written);
    written->deleteThis();
    int copyX = 0, copyY = 0;
    copy->GetPos(copyX, copyY);
    EXPECT_EQ(copyX, 780);
    EXPECT_EQ(copyY, 250);
    EXPECT_STREQ(copy->GetName(), "placed");
}

TEST_F(PanelTest, SettingsKeepWhatTheyDoNotMention) {
    auto* panel = new Panel(root, "p");
    panel->SetPos(7, 8);
    panel->SetPaintBackgroundEnabled(false);
    KeyValues* settings = new KeyValues("p");
    settings->SetInt("visible", 2);
    settings->SetInt("zpos", 3);
    settings->SetString("tooltiptext", "Explains");
    settings->SetInt("PinCorner", 3);
    panel->ApplySettings(settings);
    settings->deleteThis();

    int x = 0, y = 0;
    panel->GetPos(x, y);
    EXPECT_EQ(x, 7);
    EXPECT_EQ(y, 8);
    EXPECT_TRUE(panel->IsVisible());
    EXPECT_EQ(panel->GetPinCorner(), 3);

    KeyValues* written = new KeyValues("out");
    panel->GetSettings(written);
    EXPECT_EQ(written->GetInt("paintbackground"), 0);
    EXPECT_EQ(written->GetInt("zpos"), 3);
    EXPECT_STREQ(written->GetString("tooltiptext"), "Explains");
    written->deleteThis();

    settings = new KeyValues("p");
    settings->SetInt("visible", 0);
    settings->SetInt("enabled", 0);
    panel->ApplySettings(settings);
    settings->deleteThis();
    EXPECT_FALSE(panel->IsVisible());
    EXPECT_FALSE(panel->IsEnabled());
}

TEST_F(PanelTest, ProportionalSettingsAreScaledAndWrittenBackUnscaled) {
    auto* panel = new Panel(root, "scaled");
    panel->SetProportional(true);
    KeyValues* settings = new KeyValues("scaled");
    settings->SetInt("xpos", 10);
    settings->SetString("ypos", "r30");
    settings->SetInt("wide", 50);
    panel->ApplySettings(settings);
    settings->deleteThis();
    int x = 0, y = 0;
    panel->GetPos(x, y);
    EXPECT_EQ(x, 20);
    EXPECT_EQ(y, 600 - 60);
    EXPECT_EQ(panel->GetWide(), 100);

    KeyValues* written = new KeyValues("out");
    panel->GetSettings(written);
    EXPECT_EQ(written->GetInt("xpos"), 10);
    EXPECT_STREQ(written->GetString("ypos"), "r30");
    EXPECT_EQ(written->GetInt("wide"), 50);
    written->deleteThis();
}

TEST_F(PanelTest, MouseFocusTickSetsThePointerShapeOfVisiblePanels) {
    auto* panel = new Panel(root, "pointer");
    panel->SetCursor(vgui2::dc_ibeam);
    KeyValues* tick = new KeyValues("MouseFocusTicked");
    panel->OnMessage(tick, vgui2::kNoPanel);
    TheInput().SetCursorOveride(vgui2::dc_hand);
    panel->OnMessage(tick, vgui2::kNoPanel);
    TheInput().SetCursorOveride(0);
    root->SetVisible(false);
    panel->OnMessage(tick, vgui2::kNoPanel);
    root->SetVisible(true);
    tick->deleteThis();
    EXPECT_EQ(surface.cursors,
              (std::vector<vgui2::HCursor>{vgui2::dc_ibeam, vgui2::dc_hand}));
    // The default handler passes the tick on to the parent.
    EXPECT_EQ(root->Names().size(), 3u);
}

TEST_F(PanelTest, DescriptionListsTheCommonKeys) {
    EXPECT_STREQ(root->GetDescription(),
                 "string fieldName, int xpos, int ypos, int wide, int tall, bool visible, bool enabled, int "
                 "tabPosition, corner pinCorner, autoresize autoResize, string tooltiptext, bool paintbackground");
}

}  // namespace
