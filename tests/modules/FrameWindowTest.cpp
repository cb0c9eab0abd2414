// A frame on the real surface with the shipped scheme: it is a native popup
// window of its own, and its screenshot shows the frame border, the title
// bar in the focused colour with the title text on it, and the title
// buttons; losing the focus repaints the bar in the unfocused colour.
#include <gtest/gtest.h>

#include <SDL2/SDL_image.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "modules/updfs/FileSystemStdio.h"
#include "modules/updvgui2/ModuleServices.h"
#include "modules/updvgui2/Surface.h"
#include "services/ServicePointers.h"
#include "tests/support/TestSupport.h"
#include "vgui2/Frame.h"
#include "vgui2/FrameButton.h"

using namespace vgui2;

namespace {

class FrameWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("SDL_VIDEODRIVER", "offscreen", 0);
        ASSERT_TRUE(testsupport::ConnectRealServices());
        const char* stage = std::getenv("UPD_STAGE_DIR");
        ASSERT_NE(stage, nullptr);
        TheFileSystem().AddSearchPath(stage, "ROOT");
        TheFileSystem().AddSearchPath((std::string(stage) + "/platform").c_str(), "PLATFORM");
        SetModuleFileSystem(&TheFileSystem());
        ASSERT_NE(TheSchemeManager().LoadSchemeFromFile("resource/TrackerScheme.res", "TrackerScheme"), 0u);
        TheVGui().Start();
    }

    void TearDown() override {
        TheVGui().Stop();
        TheFileSystem().RemoveAllSearchPaths();
        TheSurfaceImpl().Shutdown();
        g_services = {};
    }

    void RunFrames(int count) {
        for (int i = 0; i < count; ++i) {
            TheVGui().RunFrame();
        }
    }

    SDL_Surface* Shoot(Panel& panel) {
        std::string file = dir.File("frame.png");
        // Set to keep the last picture for a look by eye.
        if (const char* keep = std::getenv("UPD_KEEP_SCREENSHOT")) {
            file = keep;
        }
        if (!TheSurface().SaveScreenshot(panel.GetVPanel(), file.c_str())) {
            return nullptr;
        }
        SDL_Surface* loaded = IMG_Load(file.c_str());
        SDL_Surface* rgba = loaded ? SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_RGBA32, 0) : nullptr;
        SDL_FreeSurface(loaded);
        shot.reset(rgba);
        return rgba;
    }

    Color At(int x, int y) const {
        const Uint8* p = static_cast<const Uint8*>(shot->pixels) + y * shot->pitch + x * 4;
        return Color(p[0], p[1], p[2], 255);
    }

    // How many pixels of the rectangle have exactly this colour.
    int Count(int x0, int y0, int x1, int y1, Color color) const {
        int count = 0;
        for (int y = y0; y < y1; ++y) {
            for (int x = x0; x < x1; ++x) {
                count += At(x, y) == color ? 1 : 0;
            }
        }
        return count;
    }

    Color SchemeColor(const char* name) {
        IScheme* scheme = TheSchemeManager().GetIScheme(TheSchemeManager().GetDefaultScheme());
        Color color = scheme->GetColor(name, Color(1, 2, 3, 255));
        return Color(color.r, color.g, color.b, 255);
    }

    testsupport::TempDir dir;
    std::unique_ptr<SDL_Surface, void (*)(SDL_Surface*)> shot{nullptr, SDL_FreeSurface};
};

TEST_F(FrameWindowTest, FrameIsAPopupWindowShowingBorderTitleBarAndButtons) {
    auto frame = std::make_unique<Frame>(nullptr, "Window");
    frame->SetBounds(60, 50, 320, 200);
    frame->SetTitle("Frame window", true);
    frame->Activate();
    RunFrames(4);
    ASSERT_NE(TheSurfaceImpl().WindowOf(frame->GetVPanel()), nullptr);

    ASSERT_NE(Shoot(*frame), nullptr);
    ASSERT_EQ(shot->w, 320);
    ASSERT_EQ(shot->h, 200);
    Color black{0, 0, 0, 255};
    EXPECT_EQ(At(0, 100), black) << "outer line of the frame border";
    EXPECT_EQ(At(319, 100), black);
    EXPECT_EQ(At(160, 199), black);
    EXPECT_EQ(At(1, 100), SchemeColor("BorderBright")) << "inner line, light side";
    EXPECT_EQ(At(318, 100), SchemeColor("BorderDark")) << "inner line, dark side";

    Color bar = SchemeColor("TitleBarBgColor");
    EXPECT_EQ(At(6, 6), bar);
    EXPECT_EQ(At(200, 26), bar);
    EXPECT_EQ(At(200, 40), SchemeColor("BgColor")) << "the bar ends at 28";
    EXPECT_GT(Count(28, 9, 140, 26, SchemeColor("TitleBarFgColor")), 20) << "the title's glyphs";

    // The close button: 18 by 18 at (320 - 25, 8), in its raised border.
    EXPECT_EQ(At(295, 12), SchemeColor("BorderBright"));
    EXPECT_EQ(At(312, 12), SchemeColor("BorderDark"));
    EXPECT_TRUE(frame->GetCloseButton()->IsVisible());

    // Another window takes the focus: the bar turns to the unfocused look.
    auto other = std::make_unique<Frame>(nullptr, "Other");
    other->SetBounds(420, 50, 200, 120);
    other->Activate();
    frame->Repaint();
    RunFrames(3);
    ASSERT_NE(Shoot(*frame), nullptr);
    EXPECT_EQ(At(200, 20), SchemeColor("TitleBarDisabledBgColor"));
    EXPECT_TRUE(frame->GetCloseButton()->HasDisabledLook());
}

}  // namespace
