// The surface with the toolkit's own panels and the shipped scheme: a popup
// panel's background and its scheme border land in its window where they
// should, and a child's paint stays inside the child.
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
#include "vgui2/Panel.h"

using namespace vgui2;

namespace {

class SurfacePanelTest : public ::testing::Test {
protected:
    // Set up per test, not per suite: a failed suite set-up would only show
    // as a skipped test.
    void SetUp() override {
        setenv("SDL_VIDEODRIVER", "offscreen", 0);
        ASSERT_TRUE(testsupport::ConnectRealServices());
        const char* stage = std::getenv("UPD_STAGE_DIR");
        ASSERT_NE(stage, nullptr);
        TheFileSystem().AddSearchPath(stage, "ROOT");
        TheFileSystem().AddSearchPath((std::string(stage) + "/platform").c_str(), "PLATFORM");
        SetModuleFileSystem(&TheFileSystem());
        ASSERT_NE(TheSchemeManager().LoadSchemeFromFile("resource/TrackerScheme.res", "TrackerScheme"), 0u);
    }
    void TearDown() override {
        TheFileSystem().RemoveAllSearchPaths();
        TheSurfaceImpl().Shutdown();
    }

    SDL_Surface* Shoot(Panel& panel) {
        std::string file = m_dir.File("shot.png");
        if (!TheSurface().SaveScreenshot(panel.GetVPanel(), file.c_str())) {
            return nullptr;
        }
        SDL_Surface* loaded = IMG_Load(file.c_str());
        SDL_Surface* rgba = loaded ? SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_RGBA32, 0) : nullptr;
        SDL_FreeSurface(loaded);
        m_shot.reset(rgba);
        return rgba;
    }

    static Color At(SDL_Surface* shot, int x, int y) {
        const Uint8* p = static_cast<const Uint8*>(shot->pixels) + y * shot->pitch + x * 4;
        return Color(p[0], p[1], p[2], 255);
    }

    static Color Opaque(Color color) { return Color(color.r, color.g, color.b, 255); }

    testsupport::TempDir m_dir;
    std::unique_ptr<SDL_Surface, void (*)(SDL_Surface*)> m_shot{nullptr, SDL_FreeSurface};
};

TEST_F(SurfacePanelTest, SchemeBorderAndBackgroundLandOnTheirPixels) {
    IScheme* scheme = TheSchemeManager().GetIScheme(TheSchemeManager().GetDefaultScheme());
    ASSERT_NE(scheme, nullptr);
    IBorder* border = scheme->GetBorder("RaisedBorder");
    ASSERT_NE(border, nullptr);
    Color bright = Opaque(scheme->GetColor("BorderBright", Color(1, 2, 3, 255)));
    Color dark = Opaque(scheme->GetColor("BorderDark", Color(1, 2, 3, 255)));
    ASSERT_NE(bright, dark);

    auto box = std::make_unique<Panel>(nullptr, "Box");
    box->MakePopup(false);
    box->SetPos(50, 40);
    box->SetSize(60, 30);
    box->SetBgColor(Color(10, 20, 30, 255));
    box->SetBorder(border);
    box->SetVisible(true);
    auto child = std::make_unique<Panel>(box.get(), "Inner");
    child->SetPos(20, 10);
    child->SetSize(10, 10);
    child->SetBgColor(Color(200, 0, 0, 255));
    child->SetVisible(true);

    TheSurface().PaintTraverse(kNoPanel);
    SDL_Surface* shot = Shoot(*box);
    ASSERT_NE(shot, nullptr);
    ASSERT_EQ(shot->w, 60);
    ASSERT_EQ(shot->h, 30);
    EXPECT_EQ(At(shot, 0, 10), bright);
    EXPECT_EQ(At(shot, 30, 0), bright);
    EXPECT_EQ(At(shot, 59, 10), dark);
    EXPECT_EQ(At(shot, 30, 29), dark);
    EXPECT_EQ(At(shot, 5, 5), Color(10, 20, 30, 255));
    EXPECT_EQ(At(shot, 20, 10), Color(200, 0, 0, 255));
    EXPECT_EQ(At(shot, 29, 19), Color(200, 0, 0, 255));
    EXPECT_EQ(At(shot, 30, 15), Color(10, 20, 30, 255));

    // A repaint request from the toolkit redraws the window with the change.
    child->SetBgColor(Color(0, 0, 200, 255));
    child->Repaint();
    TheSurface().PaintTraverse(kNoPanel);
    shot = Shoot(*box);
    ASSERT_NE(shot, nullptr);
    EXPECT_EQ(At(shot, 25, 15), Color(0, 0, 200, 255));

    child.reset();
    box.reset();
}

}  // namespace
