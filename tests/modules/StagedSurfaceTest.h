// A fixture for tests that paint on the real surface with the shipped
// scheme: the real services read the stage folder, and a panel's window can
// be shot and its pixels read back. Set up per test, not per suite: a failed
// suite set-up would only show as a skipped test.
#pragma once

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

namespace surfacetest {

class StagedSurfaceTest : public ::testing::Test {
protected:
    void SetUp() override {
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
        vgui2::g_services = {};
    }

    // The panel's window as RGBA, kept until the next shot; null when the
    // surface could not save it.
    SDL_Surface* Shoot(vgui2::Panel& panel) {
        std::string file = m_dir.File("shot.png");
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
        m_shot.reset(rgba);
        return rgba;
    }

    // A pixel of the last shot, opaque.
    vgui2::Color At(int x, int y) const {
        const Uint8* p = static_cast<const Uint8*>(m_shot->pixels) + y * m_shot->pitch + x * 4;
        return vgui2::Color(p[0], p[1], p[2], 255);
    }

    // A colour of the shipped scheme, opaque as the shot reads it.
    static vgui2::Color SchemeColor(const char* name) {
        vgui2::IScheme* scheme = TheSchemeManager().GetIScheme(TheSchemeManager().GetDefaultScheme());
        vgui2::Color color = scheme->GetColor(name, vgui2::Color(1, 2, 3, 255));
        return vgui2::Color(color.r, color.g, color.b, 255);
    }

    testsupport::TempDir m_dir;
    std::unique_ptr<SDL_Surface, void (*)(SDL_Surface*)> m_shot{nullptr, SDL_FreeSurface};
};

// The same with the GUI loop running, for panels that need its frames.
class StagedLoopTest : public StagedSurfaceTest {
protected:
    void SetUp() override {
        StagedSurfaceTest::SetUp();
        if (!HasFatalFailure()) {
            TheVGui().Start();
        }
    }

    void TearDown() override {
        TheVGui().Stop();
        StagedSurfaceTest::TearDown();
    }
};

}  // namespace surfacetest
