// EditablePanel with its build group and focus navigation: layout files
// (load, read back, save, reload, the "SKIN" path, created controls and
// their removal), the control factory, pinning on resize, tab order and
// the hand-off between nested containers, the default button and Enter,
// dialog variables, the by-name child API and user config.
#include <gtest/gtest.h>
#include <strings.h>

#include <climits>
#include <filesystem>
#include <string>

#include "modules/updfs/FileSystemStdio.h"
#include "tests/support/TestSupport.h"
#include "tests/vgui2/ToolkitTestServices.h"
#include "vgui2/Button.h"
#include "vgui2/CheckButton.h"
#include "vgui2/ControlFactory.h"
#include "vgui2/Label.h"
#include "vgui2/PanelHandles.h"
#include "vgui2/ProgressBar.h"

namespace {

using toolkittest::RecordingContainer;
using vgui2::BuildGroup;
using vgui2::Button;
using vgui2::EditablePanel;
using vgui2::Label;
using vgui2::Panel;

std::string g_saveError;
void RecordSaveError(const char* title, const char* text) { g_saveError = std::string(title) + "|" + text; }

constexpr const char* kFirstLayout = R"("first.res"
{
    "junk"  "1"
    "title"
    {
        "xpos"      "10"
        "ypos"      "20"
        "labelText" "Welcome"
    }
    "OkButton"
    {
        "ControlName"   "Button"
        "xpos"          "100"
        "ypos"          "200"
        "wide"          "80"
        "tall"          "24"
        "labelText"     "OK"
        "command"       "ok"
        "tabPosition"   "1"
    }
    "Meter"
    {
        "ControlName"   "ProgressBar"
        "wide"          "120"
        "progress"      "0.5"
    }
    "Bogus"
    {
        "ControlName"   "NoSuchControl"
    }
    "Nameless"
    {
        "xpos"  "5"
    }
}
)";

constexpr const char* kSecondLayout = R"("second.res"
{
    "Title"
    {
        "ypos"  "40"
    }
    "Extra"
    {
        "ControlName"   "Label"
        "labelText"     "extra"
    }
}
)";

class EditablePanelTest : public toolkittest::ToolkitTest {
protected:
    void SetUp() override {
        ToolkitTest::SetUp();
        vgui2::g_services.fileSystem = &TheFileSystem();
        TheFileSystem().AddSearchPath(dir.Path().c_str(), "GAME");
        root = new RecordingContainer(nullptr, "root");
        root->SetSize(400, 300);
        title = new Label(root, "Title", "code text");
        g_saveError.clear();
        BuildGroup::SetSaveErrorHandler(&RecordSaveError);
    }

    void TearDown() override {
        BuildGroup::SetSaveErrorHandler(nullptr);
        delete root;
        TheFileSystem().RemoveAllSearchPaths();
        ToolkitTest::TearDown();
    }

    void Write(const char* name, const char* text) { testsupport::WriteFile(dir.File(name), text); }

    static std::string TextOf(Panel* panel) {
        char text[256];
        static_cast<Label*>(panel)->GetText(text, sizeof(text));
        return text;
    }

    int CountChildrenNamed(const char* name) {
        int count = 0;
        for (int i = 0; i < root->GetChildCount(); ++i) {
            // Names compare without regard to case, as the toolkit does.
            count += strcasecmp(root->GetChild(i)->GetName(), name) == 0 ? 1 : 0;
        }
        return count;
    }

    testsupport::TempDir dir;
    RecordingContainer* root = nullptr;
    Label* title = nullptr;
};

// Layout files ----------------------------------------------------------------

TEST_F(EditablePanelTest, LoadConfiguresExistingChildrenAndCreatesMissingOnes) {
    Write("first.res", kFirstLayout);
    ASSERT_TRUE(root->LoadLayoutFile("first.res"));

    int x = 0, y = 0;
    title->GetPos(x, y);
    EXPECT_EQ(x, 10);
    EXPECT_EQ(y, 20);
    EXPECT_EQ(TextOf(title), "Welcome") << "a section differing only in case configures the child";

    auto* ok = dynamic_cast<Button*>(root->FindChildByName("OkButton"));
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(ok->GetParent(), root);
    EXPECT_EQ(TextOf(ok), "OK");
    int wide = 0, tall = 0;
    ok->GetBounds(x, y, wide, tall);
    EXPECT_EQ(x, 100);
    EXPECT_EQ(y, 200);
    EXPECT_EQ(wide, 80);
    EXPECT_EQ(tall, 24);
    EXPECT_TRUE(root->GetContainedBuildGroup()->IsCreatedControl(ok));
    EXPECT_FALSE(root->GetContainedBuildGroup()->IsCreatedControl(title));

    auto* meter = dynamic_cast<vgui2::ProgressBar*>(root->FindChildByName("Meter"));
    ASSERT_NE(meter, nullptr);
    EXPECT_FLOAT_EQ(meter->GetProgress(), 0.5f);

    EXPECT_EQ(root->FindChildByName("Bogus"), nullptr);
    EXPECT_EQ(root->FindChildByName("Nameless"), nullptr);
    EXPECT_EQ(root->FindChildByName("junk"), nullptr);
    EXPECT_EQ(root->GetChildCount(), 3);

    // The created button reports its commands to the container.
    ok->DoClick();
    Deliver();
    ASSERT_EQ(root->commands.size(), 1u);
    EXPECT_EQ(root->commands[0], "ok");
}

TEST_F(EditablePanelTest, SaveThenLoadAgainGivesTheSameFile) {
    Write("first.res", kFirstLayout);
    ASSERT_TRUE(root->LoadLayoutFile("first.res"));
    ASSERT_TRUE(root->GetContainedBuildGroup()->SaveLayoutFile());
    std::string saved = testsupport::ReadFile(dir.File("first.res"));
    EXPECT_NE(saved.find("\"OkButton\""), std::string::npos);
    EXPECT_NE(saved.find("\"command\"\t\t\"ok\""), std::string::npos) << saved;
    EXPECT_EQ(saved.find("Bogus"), std::string::npos);

    auto* other = new RecordingContainer(nullptr, "other");
    other->SetSize(400, 300);
    new Label(other, "Title", "code text");
    ASSERT_TRUE(other->LoadLayoutFile("first.res"));
    ASSERT_TRUE(other->GetContainedBuildGroup()->SaveLayoutFile());
    EXPECT_EQ(testsupport::ReadFile(dir.File("first.res")), saved);
    delete other;
}

TEST_F(EditablePanelTest, NextLoadRemovesWhatThePreviousOneCreated) {
    Write("first.res", kFirstLayout);
    Write("second.res", kSecondLayout);
    ASSERT_TRUE(root->LoadLayoutFile("first.res"));
    vgui2::HPanel ok = vgui2::HandleOf(root->FindChildByName("OkButton"));
    ASSERT_NE(vgui2::PanelFromHandle(ok), nullptr);

    ASSERT_TRUE(root->LoadLayoutFile("second.res"));
    EXPECT_EQ(vgui2::PanelFromHandle(ok), nullptr) << "the first file's button is gone";
    EXPECT_EQ(root->FindChildByName("Meter"), nullptr);
    ASSERT_NE(root->FindChildByName("Extra"), nullptr);
    EXPECT_EQ(root->FindChildByName("Title"), title) << "a panel made in code stays";
    int x = 0, y = 0;
    title->GetPos(x, y);
    EXPECT_EQ(x, 10) << "keys the new section lacks keep their last value";
    EXPECT_EQ(y, 40);

    // Loading the same file again replaces its control rather than adding one.
    ASSERT_TRUE(root->LoadLayoutFile("second.res"));
    EXPECT_EQ(CountChildrenNamed("Extra"), 1);
}

TEST_F(EditablePanelTest, EvenTheFirstControlOfAnEmptyContainerIsRemovedByTheNextLoad) {
    auto* empty = new EditablePanel(nullptr, "empty");
    Write("second.res", kSecondLayout);
    Write("none.res", R"("none.res" { })");
    ASSERT_TRUE(empty->LoadLayoutFile("second.res"));
    ASSERT_EQ(empty->GetChildCount(), 1);
    ASSERT_TRUE(empty->LoadLayoutFile("none.res"));
    EXPECT_EQ(empty->GetChildCount(), 0);
    delete empty;
}

TEST_F(EditablePanelTest, SecondSectionOfTheSameNameConfiguresTheCreatedControl) {
    Write("twice.res", R"("twice.res"
{
    "Twin" { "ControlName" "Label" "xpos" "5" "labelText" "one" }
    "Twin" { "ControlName" "Label" "ypos" "7" }
})");
    root->LoadLayoutFile("twice.res");
    EXPECT_EQ(CountChildrenNamed("Twin"), 1);
    Panel* twin = root->FindChildByName("Twin");
    ASSERT_NE(twin, nullptr);
    int x = 0, y = 0;
    twin->GetPos(x, y);
    EXPECT_EQ(x, 5);
    EXPECT_EQ(y, 7);
}

TEST_F(EditablePanelTest, UnreadableFileStillRemovesCreatedControls) {
    Write("first.res", kFirstLayout);
    root->LoadLayoutFile("first.res");
    ASSERT_NE(root->FindChildByName("OkButton"), nullptr);
    EXPECT_FALSE(root->LoadLayoutFile("missing.res"));
    EXPECT_EQ(root->FindChildByName("OkButton"), nullptr);
    EXPECT_EQ(root->FindChildByName("Title"), title);
    EXPECT_EQ(TextOf(title), "Welcome");
}

TEST_F(EditablePanelTest, SkinPathIsTriedFirstWithoutAPathId) {
    testsupport::TempDir skin;
    TheFileSystem().AddSearchPath(skin.Path().c_str(), "SKIN");
    Write("look.res", R"("look.res" { "Title" { "labelText" "plain" } })");
    testsupport::WriteFile(skin.File("look.res"), R"("look.res" { "Title" { "labelText" "skinned" } })");
    root->LoadLayoutFile("look.res");
    EXPECT_EQ(TextOf(title), "skinned");
    root->LoadLayoutFile("look.res", "GAME");
    EXPECT_EQ(TextOf(title), "plain");
}

TEST_F(EditablePanelTest, FailedSaveShowsTheErrorTextAndReportsFalse) {
    EXPECT_FALSE(root->GetContainedBuildGroup()->SaveLayoutFile()) << "nothing loaded, nothing to save";
    EXPECT_TRUE(g_saveError.empty());

    Write("first.res", kFirstLayout);
    root->LoadLayoutFile("first.res");
    // A folder where the file should be cannot be written, whoever we are.
    std::filesystem::remove(dir.File("first.res"));
    std::filesystem::create_directory(dir.File("first.res"));
    EXPECT_FALSE(root->GetContainedBuildGroup()->SaveLayoutFile());
    EXPECT_EQ(g_saveError,
              "BuildMode - Error saving file|Error: Could not save changes.  File is most likely read only.");
}

TEST_F(EditablePanelTest, ReloadRebuildsTheCreatedControlsThroughTheContainer) {
    Write("vars.res", R"("vars.res" { "Version" { "ControlName" "Label" "labelText" "%version%" } })");
    root->SetVariable("version", "4.1");
    root->LoadLayoutFile("vars.res");
    vgui2::HPanel before = vgui2::HandleOf(root->FindChildByName("Version"));
    root->GetContainedBuildGroup()->ReloadLayout();
    Panel* after = root->FindChildByName("Version");
    ASSERT_NE(after, nullptr);
    EXPECT_EQ(vgui2::PanelFromHandle(before), nullptr) << "the old control was replaced";
    EXPECT_EQ(CountChildrenNamed("Version"), 1);
    EXPECT_EQ(TextOf(after), "4.1") << "the container's own load sent the variables again";
}

TEST_F(EditablePanelTest, LoadingRegistersTheFileOnce) {
    Write("first.res", kFirstLayout);
    root->LoadLayoutFile("first.res");
    root->LoadLayoutFile("first.res");
    root->RegisterLayoutFile("other.res");
    BuildGroup* group = root->GetContainedBuildGroup();
    ASSERT_EQ(group->GetRegisteredControlSettingsFileCount(), 2);
    EXPECT_STREQ(group->GetRegisteredControlSettingsFileByIndex(0), "first.res");
    EXPECT_STREQ(group->GetRegisteredControlSettingsFileByIndex(1), "other.res");
    EXPECT_EQ(group->GetRegisteredControlSettingsFileByIndex(2), nullptr);
}

// Build mode ------------------------------------------------------------------

TEST_F(EditablePanelTest, BuildModeDragsNudgesAndMeasuresTheCurrentControl) {
    auto* box = new Panel(root, "Box");
    box->SetBounds(30, 40, 50, 20);
    root->EnterBuildMode();
    BuildGroup* group = root->GetContainedBuildGroup();
    ASSERT_TRUE(group->IsEnabled());

    TheInput().InternalCursorMoved(35, 45);
    TheInput().InternalMousePressed(vgui2::MOUSE_LEFT);
    EXPECT_EQ(group->GetCurrentPanel(), box);
    TheInput().InternalCursorMoved(45, 50);
    TheInput().InternalMouseReleased(vgui2::MOUSE_LEFT);
    int x = 0, y = 0, wide = 0, tall = 0;
    box->GetBounds(x, y, wide, tall);
    EXPECT_EQ(x, 40);
    EXPECT_EQ(y, 45);

    TheInput().SetKeyFocus(box->GetVPanel());
    TheInput().InternalKeyCodeTyped(vgui2::KEY_RIGHT);
    TheInput().InternalKeyCodePressed(vgui2::KEY_LSHIFT);
    TheInput().InternalKeyCodeTyped(vgui2::KEY_DOWN);
    TheInput().InternalKeyCodeReleased(vgui2::KEY_LSHIFT);
    box->GetBounds(x, y, wide, tall);
    EXPECT_EQ(x, 41);
    EXPECT_EQ(tall, 21) << "Shift changes the size instead of the position";

    group->ToggleRulerDisplay();
    ASSERT_TRUE(group->HasRulersOn());
    std::vector<std::string> numbers;
    for (int i = 0; i < root->GetChildCount(); ++i) {
        if (!*root->GetChild(i)->GetName()) {
            numbers.push_back(TextOf(root->GetChild(i)));
        }
    }
    EXPECT_EQ(numbers, (std::vector<std::string>{"41", "309", "45", "234"}));

    surface.filledRects.clear();
    root->PaintTraverse(true, true);
    int whiteLines = 0;
    for (const auto& rect : surface.filledRects) {
        if (rect.color == vgui2::Color(255, 255, 255, 255) && (rect.x1 - rect.x0 == 1 || rect.y1 - rect.y0 == 1)) {
            ++whiteLines;
        }
    }
    EXPECT_EQ(whiteLines, 4);

    Write("built.res", R"("built.res" { })");
    root->LoadLayoutFile("built.res");
    ASSERT_TRUE(group->SaveLayoutFile());
    std::string saved = testsupport::ReadFile(dir.File("built.res"));
    EXPECT_NE(saved.find("\"Box\""), std::string::npos);
    EXPECT_EQ(saved.find("\"\"\n"), std::string::npos) << "the unnamed ruler labels are not saved";

    group->SetEnabled(false);
    EXPECT_FALSE(group->IsEnabled());
    EXPECT_EQ(TheInput().GetFocus(), root->GetVPanel()) << "leaving build mode focuses the container";
}

// Control factory -------------------------------------------------------------

TEST_F(EditablePanelTest, FactoryMakesEveryListedControlAndNothingElse) {
    const char* names[] = {"Label",      "Button",        "CheckButton",         "ProgressBar",
                           "RadioButton", "ScrollBar",    "ToggleButton",        "ImagePanel",
                           "AnimatingImagePanel", "Panel", "Divider",            "URLLabel",
                           "EditablePanel"};
    for (const char* name : names) {
        Panel* panel = vgui2::CreateControlByName(name);
        ASSERT_NE(panel, nullptr) << name;
        EXPECT_STREQ(panel->GetClassName(), name);
        EXPECT_EQ(panel->GetParent(), nullptr);
        delete panel;
    }
    Panel* bitmap = vgui2::CreateControlByName("bitmapimagepanel");
    ASSERT_NE(bitmap, nullptr);
    EXPECT_STREQ(bitmap->GetClassName(), "CBitmapImagePanel");
    EXPECT_STREQ(bitmap->GetName(), "BitmapImagePanel");
    EXPECT_EQ(bitmap->GetWide(), 100);
    EXPECT_EQ(bitmap->GetTall(), 100);
    delete bitmap;

    Panel* label = vgui2::CreateControlByName("LABEL");
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(TextOf(label), "Label");
    delete label;
    Panel* image = vgui2::CreateControlByName("ImagePanel");
    EXPECT_STREQ(image->GetName(), "ResourceImagePanel");
    delete image;

    for (const char* name : {"NoSuchControl", ""}) {
        EXPECT_EQ(vgui2::CreateControlByName(name), nullptr) << name;
    }
    EXPECT_EQ(vgui2::CreateControlByName(nullptr), nullptr);
}

// A container that knows one extra control; nested containers fall back to
// it.
class FactoryContainer : public RecordingContainer {
public:
    using RecordingContainer::RecordingContainer;
    Panel* CreateControl(const char* name) override {
        if (std::string(name) == "Special") {
            return new Label(nullptr, nullptr, "special");
        }
        return RecordingContainer::CreateControl(name);
    }
};

TEST_F(EditablePanelTest, UnknownControlsAreAskedOfTheOuterContainer) {
    auto* outer = new FactoryContainer(nullptr, "outer");
    auto* inner = new EditablePanel(outer, "inner");
    Write("inner.res", R"("inner.res" { "Thing" { "ControlName" "Special" } "Std" { "ControlName" "Label" } })");
    inner->LoadLayoutFile("inner.res");
    Panel* thing = inner->FindChildByName("Thing");
    ASSERT_NE(thing, nullptr);
    EXPECT_EQ(thing->GetParent(), inner);
    EXPECT_EQ(TextOf(thing), "special");
    EXPECT_NE(inner->FindChildByName("Std"), nullptr);
    delete outer;
}

// Resizing --------------------------------------------------------------------

TEST_F(EditablePanelTest, PinnedAndStretchingChildrenFollowTheContainer) {
    auto settings = [](int pin, int resize) {
        KeyValues* keys = new KeyValues("s");
        keys->SetInt("PinCorner", pin);
        keys->SetInt("AutoResize", resize);
        return keys;
    };
    auto* corner = new Panel(root, "corner");
    corner->SetBounds(350, 260, 40, 30);
    auto* stretch = new Panel(root, "stretch");
    stretch->SetBounds(10, 10, 100, 100);
    for (auto [panel, pin, resize] : {std::tuple{corner, 3, 0}, std::tuple{stretch, 0, 3}}) {
        KeyValues* keys = settings(pin, resize);
        panel->ApplySettings(keys);
        keys->deleteThis();
    }
    corner->SetBounds(350, 260, 40, 30);
    stretch->SetBounds(10, 10, 100, 100);

    root->SetSize(500, 400);
    int x = 0, y = 0, wide = 0, tall = 0;
    corner->GetBounds(x, y, wide, tall);
    EXPECT_EQ(x, 450);
    EXPECT_EQ(y, 360);
    EXPECT_EQ(wide, 40);
    EXPECT_EQ(500 - (x + wide), 10) << "the distance to the right edge is kept";
    stretch->GetBounds(x, y, wide, tall);
    EXPECT_EQ(wide, 200);
    EXPECT_EQ(tall, 200);

    auto* cut = new Panel(root, "cut");
    cut->SetBounds(150, 10, 100, 20);
    auto* beyond = new Panel(root, "beyond");
    beyond->SetBounds(250, 10, 30, 20);
    root->SetSize(200, 400);
    cut->GetBounds(x, y, wide, tall);
    EXPECT_EQ(wide, 50) << "narrowed to fit";
    beyond->GetBounds(x, y, wide, tall);
    EXPECT_EQ(x, 250) << "a negative width leaves the child as it was";
    EXPECT_EQ(wide, 30);
}

// Found by fuzzing: positions and sizes near the int limits overflowed in
// the placement arithmetic (undefined behaviour; a control meant to sit
// beyond the right edge landed far off to the left).
TEST_F(EditablePanelTest, LayoutNumbersBeyondAnyScreenAreHeldNotOverflowed) {
    Write("wild.res", R"("wild.res" {
        "Title" { "xpos" "r-2147483647" "ypos" "c2147483647" "wide" "99999999999" "tall" "2147483647" }
        "Far" { "ControlName" "Label" "xpos" "-2147483648" "ypos" "r2147483647" }
    })");
    ASSERT_TRUE(root->LoadLayoutFile("wild.res"));
    int x = 0, y = 0, wide = 0, tall = 0;
    title->GetBounds(x, y, wide, tall);
    EXPECT_GT(x, 800) << "a negative distance from the right edge lies beyond it";
    EXPECT_GT(y, 300) << "far below the centre";
    EXPECT_GT(wide, 0);
    EXPECT_GT(tall, 0);
    EXPECT_LT(static_cast<long long>(x) + wide, INT_MAX) << "the right edge still fits an int";
    EXPECT_LT(static_cast<long long>(y) + tall, INT_MAX);

    Panel* far = root->FindChildByName("Far");
    ASSERT_NE(far, nullptr);
    far->GetPos(x, y);
    EXPECT_LT(x, 0);
    EXPECT_LT(y, 0) << "far above the top, as the distance from the bottom says";
}

// Focus -------------------------------------------------------------------------

class FocusTest : public EditablePanelTest {
protected:
    Panel* Focusable(Panel* parent, const char* name, int tab) {
        auto* panel = new Panel(parent, name);
        panel->SetTabPosition(tab);
        return panel;
    }

    void Tab(bool shift = false) {
        if (shift) {
            TheInput().InternalKeyCodePressed(vgui2::KEY_LSHIFT);
        }
        TheInput().InternalKeyCodeTyped(vgui2::KEY_TAB);
        if (shift) {
            TheInput().InternalKeyCodeReleased(vgui2::KEY_LSHIFT);
        }
    }

    vgui2::VPANEL Focus() { return TheInput().GetFocus(); }
};

TEST_F(FocusTest, TabFollowsTabPositionsSkipsUnusableChildrenAndWraps) {
    Panel* third = Focusable(root, "third", 5);
    Panel* first = Focusable(root, "first", 1);
    Panel* second = Focusable(root, "second", 2);
    Focusable(root, "hidden", 3)->SetVisible(false);
    Focusable(root, "disabled", 4)->SetEnabled(false);
    Focusable(root, "untabbed", 0);

    root->RequestFocus(1);
    EXPECT_EQ(Focus(), first->GetVPanel());
    Tab();
    EXPECT_EQ(Focus(), second->GetVPanel());
    Tab();
    EXPECT_EQ(Focus(), third->GetVPanel());
    Tab();
    EXPECT_EQ(Focus(), first->GetVPanel()) << "a top-level container wraps to the lowest position";
    Tab(true);
    EXPECT_EQ(Focus(), third->GetVPanel());
    Tab(true);
    EXPECT_EQ(Focus(), second->GetVPanel());
}

TEST_F(FocusTest, TabLeavesANestedContainerForTheParentsNextControl) {
    Panel* before = Focusable(root, "before", 1);
    auto* inner = new EditablePanel(root, "inner");
    inner->SetTabPosition(2);
    Panel* x = Focusable(inner, "x", 1);
    Panel* y = Focusable(inner, "y", 2);
    Panel* after = Focusable(root, "after", 3);

    TheInput().SetKeyFocus(before->GetVPanel());
    Tab();
    EXPECT_EQ(Focus(), x->GetVPanel()) << "a container found by Tab hands focus to its first child";
    Tab();
    EXPECT_EQ(Focus(), y->GetVPanel());
    Tab();
    EXPECT_EQ(Focus(), after->GetVPanel());
    Tab(true);
    EXPECT_EQ(Focus(), y->GetVPanel()) << "Shift+Tab enters the container at its last child";
}

TEST_F(FocusTest, ContainersHandingFocusToEachOtherStopAtTheDepthLimit) {
    // The only candidate is a container with nothing to focus, which hands
    // the request back to its parent, which picks it again, and so on, in
    // both directions.
    auto* empty = new EditablePanel(root, "empty");
    empty->SetTabPosition(1);
    root->RequestFocusNext();
    root->RequestFocusPrev();

    // Navigation works normally afterwards: the shared depth is back to 0.
    Panel* real = Focusable(root, "real", 2);
    root->RequestFocusNext(empty->GetVPanel());
    EXPECT_EQ(Focus(), real->GetVPanel());
}

TEST_F(FocusTest, EnterPressesTheDefaultButtonOnlyWhileItIsUsable) {
    Panel* field = Focusable(root, "field", 1);
    auto* ok = new Button(root, "Ok", "OK");
    ok->SetCommand("ok");
    ok->SetAsDefaultButton(1);
    Deliver();
    EXPECT_EQ(root->GetFocusNavGroup().GetDefaultButton(), ok->GetVPanel());
    EXPECT_EQ(root->GetFocusNavGroup().GetCurrentDefaultButton(), ok->GetVPanel());
    EXPECT_TRUE(ok->IsCurrentDefaultButton());

    TheInput().SetKeyFocus(field->GetVPanel());
    TheInput().InternalKeyCodeTyped(vgui2::KEY_ENTER);
    Deliver();
    ASSERT_EQ(root->commands.size(), 1u);
    EXPECT_EQ(root->commands[0], "ok");

    TheInput().InternalKeyCodeTyped(vgui2::KEY_PAD_ENTER);
    Deliver();
    EXPECT_EQ(root->commands.size(), 2u);

    ok->SetEnabled(false);
    TheInput().InternalKeyCodeTyped(vgui2::KEY_ENTER);
    Deliver();
    ok->SetEnabled(true);
    ok->SetVisible(false);
    TheInput().InternalKeyCodeTyped(vgui2::KEY_ENTER);
    Deliver();
    EXPECT_EQ(root->commands.size(), 2u);
}

TEST_F(FocusTest, FocusOnAButtonMakesItTheCurrentDefaultButton) {
    auto* ok = new Button(root, "Ok", "OK");
    ok->SetTabPosition(2);
    auto* cancel = new Button(root, "Cancel", "Cancel");
    cancel->SetTabPosition(1);
    ok->SetAsDefaultButton(1);
    Deliver();
    cancel->RequestFocus();
    Deliver();
    EXPECT_EQ(root->GetFocusNavGroup().GetCurrentDefaultButton(), cancel->GetVPanel());
    EXPECT_TRUE(cancel->IsCurrentDefaultButton());
    EXPECT_FALSE(ok->IsCurrentDefaultButton()) << "the previous one was told";

    Panel* plain = Focusable(root, "plain", 3);
    plain->RequestFocus();
    Deliver();
    EXPECT_EQ(root->GetFocusNavGroup().GetCurrentDefaultButton(), ok->GetVPanel())
        << "a panel that cannot be default brings the default button back";
}

TEST_F(FocusTest, ANestedContainerWithoutDefaultButtonFallsBackToItsParents) {
    auto* ok = new Button(root, "Ok", "OK");
    ok->SetTabPosition(2);
    ok->SetAsDefaultButton(1);
    auto* inner = new EditablePanel(root, "inner");
    inner->SetTabPosition(1);
    Panel* field = Focusable(inner, "field", 1);
    Deliver();
    root->GetFocusNavGroup().SetCurrentDefaultButton(vgui2::kNoPanel);
    Deliver();
    ASSERT_FALSE(ok->IsCurrentDefaultButton());

    inner->RequestFocusNext();
    EXPECT_EQ(Focus(), field->GetVPanel());
    Deliver();
    EXPECT_EQ(root->GetFocusNavGroup().GetCurrentDefaultButton(), ok->GetVPanel());
    EXPECT_TRUE(ok->IsCurrentDefaultButton());

    // Asked directly, a container without a default button asks its parent.
    root->GetFocusNavGroup().SetCurrentDefaultButton(vgui2::kNoPanel);
    Deliver();
    ASSERT_FALSE(ok->IsCurrentDefaultButton());
    KeyValues* find = new KeyValues("FindDefaultButton");
    inner->OnMessage(find, vgui2::kNoPanel);
    find->deleteThis();
    Deliver();
    EXPECT_TRUE(ok->IsCurrentDefaultButton());
}

TEST_F(FocusTest, HotkeysAreFoundAmongUsableChildren) {
    auto* save = new Button(root, "Save", "&Save");
    EXPECT_EQ(root->HasHotkey(u's'), save);
    save->SetEnabled(false);
    EXPECT_EQ(root->HasHotkey(u's'), nullptr);
    save->SetEnabled(true);
    root->SetVisible(false);
    EXPECT_EQ(root->HasHotkey(u's'), nullptr);
    root->SetVisible(true);
}

// Dialog variables and children by name -----------------------------------------

TEST_F(EditablePanelTest, DialogVariablesReachChildrenAndAreSentAgainAfterALoad) {
    Write("vars.res", R"("vars.res"
{
    "Version" { "ControlName" "Label" "labelText" "%version%" }
    "Meter" { "ControlName" "ProgressBar" "variable" "percent" }
})");
    root->SetVariable("version", "2.0");
    root->LoadLayoutFile("vars.res");
    EXPECT_EQ(TextOf(root->FindChildByName("Version")), "2.0");

    auto* meter = static_cast<vgui2::ProgressBar*>(root->FindChildByName("Meter"));
    root->SetVariable("percent", 50);
    EXPECT_FLOAT_EQ(meter->GetProgress(), 0.5f);
    root->SetVariable("percent", -5);
    EXPECT_FLOAT_EQ(meter->GetProgress(), 0.5f) << "a negative percentage changes nothing";

    // Only direct children hear the variables.
    auto* inner = new EditablePanel(root, "inner");
    auto* deep = new Label(inner, "Deep", "");
    KeyValues* keys = new KeyValues("Deep");
    keys->SetString("labelText", "%version%");
    deep->ApplySettings(keys);
    keys->deleteThis();
    root->SetVariable("version", "3.0");
    EXPECT_EQ(TextOf(deep), "%version%");
    EXPECT_EQ(TextOf(root->FindChildByName("Version")), "3.0");
}

TEST_F(EditablePanelTest, ChildrenCanBeReachedByName) {
    auto* check = new vgui2::CheckButton(root, "Agree", "agree");
    root->SetChildText("TITLE", "by name");
    root->SetChildState("agree", 1);
    root->SetChildText("nobody", "lost");
    Deliver();
    EXPECT_EQ(std::string(root->GetChildText("Title")), "by name");
    EXPECT_EQ(root->GetChildState("Agree", 0), 1);
    EXPECT_TRUE(check->IsSelected());

    EXPECT_EQ(root->GetChildState("nobody", 7), 7);
    EXPECT_EQ(std::string(root->GetChildText("nobody", "fallback")), "fallback");
    char small[4];
    root->GetChildText("Title", small, sizeof(small));
    EXPECT_STREQ(small, "by ");

    root->EnableChild("Agree", false);
    EXPECT_FALSE(check->IsEnabled());
    root->ShowChild("Agree", false);
    EXPECT_FALSE(check->IsVisible());
    root->EnableChild("nobody", false);
}

// A child that keeps one number in the user config.
class ConfigPanel : public Panel {
public:
    using Panel::Panel;
    bool HasUserConfigSettings() override { return true; }
    void ApplyUserConfigSettings(KeyValues* data) override { value = data->GetInt("value", -1); }
    void GetUserConfigSettings(KeyValues* data) override { data->SetInt("value", value); }
    int value = 0;
};

TEST_F(EditablePanelTest, UserConfigGoesToAndFromChildrenThatKeepIt) {
    auto* named = new ConfigPanel(root, "Columns");
    auto* unnamed = new ConfigPanel(root, nullptr);
    system.userConfig = new KeyValues("dialog");
    system.userConfig->FindKey("Columns", true)->SetInt("value", 5);

    root->ReadUserConfig("dialog");
    EXPECT_EQ(named->value, 5);
    EXPECT_EQ(unnamed->value, 0);

    named->value = 9;
    root->WriteUserConfig();
    EXPECT_EQ(system.userConfig->FindKey("Columns")->GetInt("value"), 9);
}

}  // namespace
