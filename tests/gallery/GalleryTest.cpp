// The gallery window drawn by the real services offscreen: pixel facts of
// the progress bar's blocks, the scroll bar's nob, the default button's
// focus border, bright and disabled label texts, and what clicks change.
#include <gtest/gtest.h>

#include <SDL2/SDL_image.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "modules/updvgui2/ModuleServices.h"
#include "tests/gallery/Gallery.h"
#include "tests/support/TestSupport.h"
#include "vgui2/Button.h"
#include "vgui2/CheckButton.h"
#include "vgui2/EditablePanel.h"
#include "vgui2/Menu.h"
#include "vgui2/MenuButton.h"
#include "vgui2/MenuItem.h"
#include "vgui2/RadioButton.h"

namespace {

using vgui2::Color;

constexpr Color kWhite{255, 255, 255, 255};
constexpr Color kCharcoal{46, 48, 50, 255};
constexpr Color kSlateLight{78, 82, 86, 255};
constexpr Color kDarkGray{72, 72, 72, 255};
constexpr Color kMidGray{110, 110, 110, 255};
constexpr Color kAmber{240, 176, 60, 255};

class GalleryTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("SDL_VIDEODRIVER", "offscreen", 0);
        const char* stage = std::getenv("UPD_STAGE_DIR");
        ASSERT_NE(stage, nullptr);
        gallery = std::make_unique<Gallery>(stage, UPD_GALLERY_DIR);
        ASSERT_TRUE(gallery->IsReady()) << gallery->Error();
        gallery->RunFrames(4);
    }

    void TearDown() override { gallery.reset(); }

    // Takes a screenshot of the window; pixels are then read with At.
    bool Shoot() {
        std::string file = dir.File("gallery.png");
        if (!gallery->SaveScreenshot(file.c_str())) {
            return false;
        }
        SDL_Surface* loaded = IMG_Load(file.c_str());
        SDL_Surface* rgba = loaded ? SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_RGBA32, 0) : nullptr;
        SDL_FreeSurface(loaded);
        shot.reset(rgba);
        return rgba != nullptr;
    }

    Color At(int x, int y) const {
        const Uint8* p = static_cast<const Uint8*>(shot->pixels) + y * shot->pitch + x * 4;
        return Color(p[0], p[1], p[2], 255);
    }

    // Whether some pixel of the rectangle is within a small distance of
    // the colour (text is anti-aliased, so only glyph cores are exact).
    bool Contains(int x0, int y0, int x1, int y1, Color color, int tolerance = 3) const {
        for (int y = y0; y < y1; ++y) {
            for (int x = x0; x < x1; ++x) {
                Color c = At(x, y);
                if (std::abs(c.r - color.r) <= tolerance && std::abs(c.g - color.g) <= tolerance &&
                    std::abs(c.b - color.b) <= tolerance) {
                    return true;
                }
            }
        }
        return false;
    }

    testsupport::TempDir dir;
    std::unique_ptr<Gallery> gallery;
    std::unique_ptr<SDL_Surface, void (*)(SDL_Surface*)> shot{nullptr, SDL_FreeSurface};
};

TEST_F(GalleryTest, EveryLayoutControlExists) {
    for (const char* name : {"TitleLabel", "DisabledLabel", "EllipsisLabel", "WrapLabel", "OkButton", "Toggle",
                             "Check", "RadioA", "RadioB", "Progress", "HScroll", "Link", "Divider", "Nested",
                             "Plain", "Image", "Bitmap", "Spinner", "Rich", "QueryButton", "Combo"}) {
        EXPECT_NE(gallery->Control(name), nullptr) << name;
    }
    vgui2::Panel* nested = gallery->Control("Nested");
    ASSERT_NE(nested, nullptr);
    EXPECT_NE(nested->FindChildByName("Inner"), nullptr) << "a section inside a section configures the nested panel";
}

TEST_F(GalleryTest, ProgressBarShowsHalfItsBlocks) {
    ASSERT_TRUE(Shoot());
    // The bar is at (10, 164), 200 wide: 16 blocks fit, 8 are filled.
    const int x = 10, y = 174;
    EXPECT_EQ(At(x + 8, y), kWhite) << "inside the first block";
    EXPECT_EQ(At(x + 14, y), kCharcoal) << "the gap after it";
    EXPECT_EQ(At(x + 92, y), kWhite) << "inside the eighth block";
    EXPECT_EQ(At(x + 104, y), kCharcoal) << "where a ninth block would be";
    EXPECT_EQ(At(x + 8, 164 + 2), kCharcoal) << "the margin above the blocks";
}

TEST_F(GalleryTest, ScrollBarNobSitsWhereTheValuePutsIt) {
    ASSERT_TRUE(Shoot());
    // Slider from x 238, 165 wide; value 30 of 0..100 with a window of 20
    // puts a 33-pixel nob at 49.
    EXPECT_EQ(At(238 + 65, 172), kSlateLight);
    EXPECT_EQ(At(238 + 20, 172), kCharcoal);
    EXPECT_EQ(At(238 + 120, 172), kCharcoal);
}

TEST_F(GalleryTest, DefaultButtonShowsTheFocusBorder) {
    ASSERT_TRUE(Shoot());
    EXPECT_EQ(At(10, 137), kAmber) << "left edge of the OK button";
    EXPECT_EQ(At(110, 137), kSlateLight) << "the toggle button has the raised border";
}

TEST_F(GalleryTest, BrightAndDisabledTextsUseTheirColours) {
    ASSERT_TRUE(Shoot());
    EXPECT_TRUE(Contains(10, 8, 310, 28, kWhite)) << "bright title text";
    EXPECT_TRUE(Contains(10, 32, 160, 52, kMidGray)) << "disabled face";
    EXPECT_TRUE(Contains(10, 32, 160, 52, kCharcoal)) << "disabled shadow";
    EXPECT_FALSE(Contains(10, 32, 160, 52, kWhite, 20)) << "no bright text in a disabled label";
}

TEST_F(GalleryTest, ClickingTheToggleKeepsItPressed) {
    auto* toggle = static_cast<vgui2::Button*>(gallery->Control("Toggle"));
    ASSERT_TRUE(gallery->Click("Toggle"));
    EXPECT_TRUE(toggle->IsSelected());
    ASSERT_TRUE(Shoot());
    EXPECT_EQ(At(110, 137), kCharcoal) << "the depressed border's dark left edge";
    EXPECT_EQ(At(113, 127), kDarkGray) << "the depressed background";

    gallery->Click("Toggle");
    EXPECT_FALSE(toggle->IsSelected());
    ASSERT_TRUE(Shoot());
    EXPECT_EQ(At(113, 127), kMidGray) << "up again, armed while the pointer rests on it";
    EXPECT_EQ(At(110, 137), kSlateLight) << "the raised border is back";
}

TEST_F(GalleryTest, ChecksAndRadiosFollowClicks) {
    auto* check = static_cast<vgui2::CheckButton*>(gallery->Control("Check"));
    auto* radioA = static_cast<vgui2::RadioButton*>(gallery->Control("RadioA"));
    auto* radioB = static_cast<vgui2::RadioButton*>(gallery->Control("RadioB"));
    gallery->Click("Check");
    EXPECT_TRUE(check->IsSelected());
    gallery->Click("RadioB");
    EXPECT_TRUE(radioB->IsSelected());
    gallery->Click("RadioA");
    EXPECT_TRUE(radioA->IsSelected());
    EXPECT_FALSE(radioB->IsSelected());
    gallery->Click("RadioA");
    EXPECT_TRUE(radioA->IsSelected()) << "a click never clears the selected radio button";
    EXPECT_EQ(gallery->Window()->GetChildState("Check", 0), 1);
    EXPECT_FALSE(gallery->Click("NoSuchControl"));
}

TEST_F(GalleryTest, MenuButtonDropsItsMenuAndAChoiceCloses) {
    auto* button = dynamic_cast<vgui2::MenuButton*>(gallery->Control("MenuButton"));
    ASSERT_NE(button, nullptr);
    ASSERT_TRUE(gallery->Click("MenuButton"));
    vgui2::Menu* menu = button->GetMenu();
    ASSERT_TRUE(menu->IsVisible());
    int buttonX = 0, buttonY = 0;
    button->LocalToScreen(buttonX, buttonY);
    int menuX = 0, menuY = 0;
    menu->GetPos(menuX, menuY);
    EXPECT_EQ(menuX, buttonX);
    EXPECT_EQ(menuY, buttonY + button->GetTall() + 1);
    EXPECT_EQ(menu->GetItemCount(), 3);
    EXPECT_GT(menu->GetWide(), 0);

    vgui2::MenuItem* item = menu->GetMenuItem(menu->GetMenuID(2));
    int x = item->GetWide() / 2, y = item->GetTall() / 2;
    item->LocalToScreen(x, y);
    TheInput().InternalCursorMoved(x, y);
    TheInput().InternalMousePressed(vgui2::MOUSE_LEFT);
    TheInput().InternalMouseReleased(vgui2::MOUSE_LEFT);
    gallery->RunFrames(3);
    EXPECT_TRUE(item->IsChecked());
    EXPECT_FALSE(menu->IsVisible());
    EXPECT_FALSE(button->IsDepressed());
}

}  // namespace
