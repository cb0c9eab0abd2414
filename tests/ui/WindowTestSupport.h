// The updater window on the real services with the offscreen driver: the
// shipped scheme, layout and tokens from the stage folder, a game folder of
// its own as the current directory, and an HTTP server that serves the
// manifest and the release archive. Every wait runs GUI frames against a
// deadline, so a hang fails the test instead of stalling it.
#pragma once

#include <gtest/gtest.h>
#include <SDL2/SDL_image.h>
#include <zip.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <random>
#include <string>

#include "app/Viewport.h"
#include "modules/updfs/FileSystemStdio.h"
#include "modules/updvgui2/ModuleServices.h"
#include "modules/updvgui2/Surface.h"
#include "services/ServicePointers.h"
#include "tests/support/TestSupport.h"
#include "tests/update/EngineTestSupport.h"
#include "tests/update/TestHttpServer.h"
#include "ui/UpdatePublisher.h"
#include "ui/UpdaterFrame.h"
#include "update/UpdateState.h"
#include "vgui2/Button.h"
#include "vgui2/KeyValues.h"
#include "vgui2/Label.h"

namespace windowtest {

inline std::string ReleaseArchive(const std::string& folder) {
    std::string path = folder + "/release.zip";
    int error = 0;
    zip_t* archive = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    static const char kMap[] = "a new map";
    zip_dir_add(archive, "maps/", 0);
    zip_file_add(archive, "maps/new.bsp", zip_source_buffer(archive, kMap, sizeof(kMap) - 1, 0), 0);
    // A few MiB that do not compress, so the download shows real figures.
    static std::string textures = [] {
        std::string bytes(3 << 20, '\0');
        std::mt19937 random(7);
        for (char& byte : bytes) {
            byte = static_cast<char>(random());
        }
        return bytes;
    }();
    zip_file_add(archive, "materials/textures.vpk",
                 zip_source_buffer(archive, textures.data(), textures.size(), 0), 0);
    zip_close(archive);
    return testsupport::ReadFile(path);
}

inline std::string LabelText(vgui2::Label* label) {
    char text[512] = {};
    label->GetText(text, sizeof(text));
    return text;
}

inline std::string CommandOf(vgui2::Button* button) {
    KeyValues* command = button->GetCommand();
    return command ? command->GetString("command") : "";
}

// The token's text in the shipped English file, narrow, for comparisons.
inline std::string TokenText(const char* token) {
    const vgui2::wchar* wide = vgui2::localize()->Find(token);
    char text[512] = {};
    if (wide) {
        vgui2::localize()->ConvertUnicodeToANSI(wide, text, sizeof(text));
    }
    return text;
}

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        using namespace vgui2;
        ASSERT_TRUE(testsupport::ConnectRealServices());
        const char* stage = std::getenv("UPD_STAGE_DIR");
        ASSERT_NE(stage, nullptr);
        // The game folder comes first, as in the real run: the engine resolves
        // the archive and the extraction target through it.
        TheFileSystem().AddSearchPath(".", "ROOT");
        TheFileSystem().AddSearchPath(stage, "ROOT");
        TheFileSystem().AddSearchPath((std::string(stage) + "/platform").c_str(), "PLATFORM");
        SetModuleFileSystem(&TheFileSystem());
        ASSERT_NE(TheSchemeManager().LoadSchemeFromFile("resource/TrackerScheme.res", "TrackerScheme"), 0u);
        TheLocalize().AddFile(&TheFileSystem(), "updater/updater_english.txt");
        TheVGui().Start();

        enginetest::ResetUpdateState();
        m_release = ReleaseArchive(m_work.Path());
        m_server.Routes().Get("/manifest.json", [this](const httplib::Request&, httplib::Response& response) {
            response.set_content(m_manifest, "application/json");
        });
        m_server.Routes().Get("/files/release.zip", [this](const httplib::Request&, httplib::Response& response) {
            ServeRelease(response);
        });
        m_manifest = Manifest();
        testsupport::WriteFile(m_game.File("qlm.uri"), m_server.Url("/manifest.json") + "\n");
        testsupport::WriteFile(m_game.File("qlm.branch"), "stable");
    }

    void TearDown() override {
        m_releaseHeld = false;
        // A job still running must end before the state it reads is reset.
        if (update::g_updateState.downloadResult.valid()) {
            update::g_updateState.downloadResult.wait();
        }
        if (update::g_updateState.extractionResult.valid()) {
            update::g_updateState.extractionResult.wait();
        }
        TheUpdatePublisher().Uninstall();
        if (app::g_viewport) {
            if (CUpdaterFrame* frame = app::g_viewport->GetUpdaterFrame()) {
                frame->MarkForDeletion();
            }
            app::g_viewport->MarkForDeletion();
            RunFrames(1);
            app::g_viewport = nullptr;
        }
        TheVGui().Stop();
        enginetest::ResetUpdateState();
        update::HttpGlobalCleanup();
        TheFileSystem().RemoveAllSearchPaths();
        TheSurfaceImpl().Shutdown();
        vgui2::g_services = {};
    }

    virtual std::string Manifest() {
        return R"({"branches":[
            {"name":"stable","version":"2.0","browser_download_url":")" + m_server.Url("/files/release.zip") +
               R"(","size":)" + std::to_string(m_release.size()) + R"(,"changelog":"Stable notes"},
            {"name":"beta","version":"3.0-beta","browser_download_url":"http://127.0.0.1:)" +
               std::to_string(enginetest::ClosedPort()) + R"(/beta.zip","size":100,"changelog":"Beta notes"}]})";
    }

    // The first half arrives at once; the rest waits while the test holds it.
    void ServeRelease(httplib::Response& response) {
        auto body = std::make_shared<std::string>(m_release);
        response.set_content_provider(body->size(), "application/zip",
                                      [this, body](std::size_t offset, std::size_t, httplib::DataSink& sink) {
                                          std::size_t half = body->size() / 2;
                                          if (offset >= half) {
                                              auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(20);
                                              while (m_releaseHeld && std::chrono::steady_clock::now() < limit) {
                                                  std::this_thread::sleep_for(std::chrono::milliseconds(5));
                                              }
                                          }
                                          std::size_t end = offset < half ? half : body->size();
                                          sink.write(body->data() + offset, end - offset);
                                          return true;
                                      });
    }

    // Builds the window as start-up does and runs its first frames, in which
    // the engine initialises and the saved branch is selected.
    CUpdaterFrame* OpenWindow() {
        TheUpdatePublisher().Install(app::UpdaterFrameOfViewport);
        app::g_viewport = new CTarnViewport();
        RunFrames(3);
        return app::g_viewport->GetUpdaterFrame();
    }

    void RunFrames(int count) {
        for (int i = 0; i < count; ++i) {
            TheVGui().RunFrame();
        }
    }

    // Runs frames until the condition holds; false when the deadline passed.
    bool RunFramesUntil(const std::function<bool()>& condition, std::chrono::seconds limit = std::chrono::seconds(20)) {
        auto deadline = std::chrono::steady_clock::now() + limit;
        while (!condition()) {
            if (std::chrono::steady_clock::now() > deadline) {
                return false;
            }
            TheVGui().RunFrame();
        }
        return true;
    }

    // How many pixels of the panel's picture are plainly green.
    int GreenPixels(vgui2::Panel* panel) {
        RunFrames(2);
        std::string file = m_work.File("shot.png");
        if (!TheSurface().SaveScreenshot(panel->GetVPanel(), file.c_str())) {
            return -1;
        }
        SDL_Surface* loaded = IMG_Load(file.c_str());
        SDL_Surface* rgba = loaded ? SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_RGBA32, 0) : nullptr;
        SDL_FreeSurface(loaded);
        if (!rgba) {
            return -1;
        }
        int green = 0;
        for (int y = 0; y < rgba->h; ++y) {
            const Uint8* row = static_cast<const Uint8*>(rgba->pixels) + y * rgba->pitch;
            for (int x = 0; x < rgba->w; ++x) {
                const Uint8* p = row + x * 4;
                green += p[1] > 150 && p[0] < 100 && p[2] < 100;
            }
        }
        SDL_FreeSurface(rgba);
        return green;
    }

    // Keeps a picture for the README when UPD_SCREENSHOT_DIR names a folder.
    void KeepScreenshot(vgui2::Panel* panel, const char* name) {
        if (const char* folder = std::getenv("UPD_SCREENSHOT_DIR")) {
            RunFrames(2);
            EXPECT_TRUE(TheSurface().SaveScreenshot(panel->GetVPanel(),
                                                           (std::string(folder) + "/" + name).c_str()));
        }
    }

    testsupport::TempDir m_game{true};
    testsupport::TempDir m_work;
    enginetest::TestHttpServer m_server;
    std::string m_release;
    std::string m_manifest;
    std::atomic<bool> m_releaseHeld{false};
};

}  // namespace windowtest
