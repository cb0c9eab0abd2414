// The controls with the least behaviour: radio groups, the URL label, the
// image panels (including the animating one) and the divider.
#include <gtest/gtest.h>

#include <string>

#include "tests/vgui2/ToolkitTestServices.h"
#include "vgui2/AnimatingImagePanel.h"
#include "vgui2/CBitmapImagePanel.h"
#include "vgui2/Divider.h"
#include "vgui2/RadioButton.h"
#include "vgui2/URLLabel.h"

namespace {

// An image that counts how often and where it was drawn.
class CountingImage final : public vgui2::IImage {
public:
    void Paint() override { ++paints; }
    void SetPos(int x, int y) override {
        posX = x;
        posY = y;
    }
    void GetContentSize(int& wide, int& tall) override { GetSize(wide, tall); }
    void GetSize(int& wide, int& tall) override {
        wide = this->wide;
        tall = this->tall;
    }
    void SetSize(int newWide, int newTall) override {
        wide = newWide;
        tall = newTall;
    }
    void SetColor(vgui2::Color) override {}

    int paints = 0;
    int posX = -1;
    int posY = -1;
    int wide = 8;
    int tall = 8;
};

using SimpleControlsTest = toolkittest::ContainerTest;

TEST_F(SimpleControlsTest, SelectingARadioButtonClearsItsSiblingsOnly) {
    auto* a = new vgui2::RadioButton(root, "A", "a");
    auto* b = new vgui2::RadioButton(root, "B", "b");
    auto* other = new vgui2::EditablePanel(root, "other");
    auto* elsewhere = new vgui2::RadioButton(other, "C", "c");
    elsewhere->SetSelected(true);

    a->DoClick();
    EXPECT_TRUE(a->IsSelected());
    b->DoClick();
    EXPECT_TRUE(b->IsSelected());
    EXPECT_FALSE(a->IsSelected());
    b->DoClick();
    EXPECT_TRUE(b->IsSelected()) << "clicking the selected one keeps it";
    EXPECT_TRUE(elsewhere->IsSelected()) << "another parent is another group";
}

TEST_F(SimpleControlsTest, UrlLabelOpensItsAddressWhenClicked) {
    auto* link = new vgui2::URLLabel(root, "Link", "site", "https://example.org/");
    link->SetBounds(0, 0, 100, 20);
    TheInput().InternalCursorMoved(10, 10);
    TheInput().InternalMousePressed(vgui2::MOUSE_RIGHT);
    EXPECT_TRUE(system.opened.empty());
    TheInput().InternalMousePressed(vgui2::MOUSE_LEFT);
    ASSERT_EQ(system.opened.size(), 1u);
    EXPECT_EQ(system.opened[0], "open https://example.org/");

    KeyValues* settings = new KeyValues("Link");
    settings->SetString("URLText", "https://example.net/");
    link->ApplySettings(settings);
    settings->deleteThis();
    KeyValues* back = new KeyValues("Link");
    link->GetSettings(back);
    EXPECT_STREQ(back->GetString("URLText"), "https://example.net/");
    EXPECT_STREQ(back->GetString("ControlName"), "URLLabel");
    back->deleteThis();
}

TEST_F(SimpleControlsTest, BitmapPanelStretchesItsImage) {
    auto* panel = new vgui2::CBitmapImagePanel(root, "Bitmap");
    panel->SetSize(50, 30);
    CountingImage image;
    panel->SetImage(&image);
    panel->PaintTraverse(true, true);
    EXPECT_EQ(image.paints, 1);
    EXPECT_EQ(image.wide, 50);
    EXPECT_EQ(image.tall, 30);
    EXPECT_EQ(image.posX, 0);

    KeyValues* back = new KeyValues("Bitmap");
    panel->GetSettings(back);
    EXPECT_EQ(back->GetInt("scaleImage"), 1);
    back->deleteThis();
}

TEST_F(SimpleControlsTest, AnimatingPanelShowsTheNextFrameOnEachTick) {
    auto* spinner = new vgui2::AnimatingImagePanel(root, "Spinner");
    CountingImage first, second;
    spinner->AddFrame(&first);
    spinner->AddFrame(&second);
    EXPECT_EQ(spinner->GetImage(), &first);
    KeyValues* tick = new KeyValues("Tick");
    spinner->OnMessage(tick, vgui2::kNoPanel);
    EXPECT_EQ(spinner->GetImage(), &second);
    spinner->OnMessage(tick, vgui2::kNoPanel);
    EXPECT_EQ(spinner->GetImage(), &first);
    tick->deleteThis();

    spinner->StartAnimation();
    spinner->StopAnimation();

    KeyValues* settings = new KeyValues("Spinner");
    settings->SetString("image", "resource/busy");
    settings->SetInt("frames", 3);
    settings->SetInt("anim_framerate", 0);
    spinner->ApplySettings(settings);
    settings->deleteThis();
    KeyValues* back = new KeyValues("Spinner");
    spinner->GetSettings(back);
    EXPECT_STREQ(back->GetString("image"), "resource/busy");
    EXPECT_EQ(back->GetInt("frames"), 3);
    EXPECT_GT(back->GetInt("anim_framerate"), 0) << "a zero frame time would spin";
    back->deleteThis();
}

TEST_F(SimpleControlsTest, DividerTakesTheSunkenBorderAndNoBackground) {
    auto* divider = new vgui2::Divider(root, "Divider");
    divider->SetSize(100, 2);
    divider->InvalidateLayout(true, true);
    surface.filledRects.clear();
    divider->PaintTraverse(true, true);
    EXPECT_TRUE(surface.filledRects.empty());
    EXPECT_STREQ(divider->GetClassName(), "Divider");
}

}  // namespace
