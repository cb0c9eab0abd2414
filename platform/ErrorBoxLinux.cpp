#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/Platform.h"

namespace platform {

namespace {

ErrorBoxFn g_errorBoxHandler = nullptr;

bool IsRealDisplayDriver(const char* driver) {
    return driver && (std::strcmp(driver, "x11") == 0 || std::strcmp(driver, "wayland") == 0);
}

bool HasEnvironment(const char* name) {
    const char* value = std::getenv(name);
    return value && *value;
}

// SDL's message box forks a helper that draws through the display; with the
// offscreen driver or without a display it crashes or shows nothing.
bool RealDisplayAvailable() {
    if (SDL_WasInit(SDL_INIT_VIDEO)) {
        return IsRealDisplayDriver(SDL_GetCurrentVideoDriver());
    }
    const char* requested = std::getenv("SDL_VIDEODRIVER");
    if (requested && *requested && !IsRealDisplayDriver(requested)) {
        return false;
    }
    return HasEnvironment("DISPLAY") || HasEnvironment("WAYLAND_DISPLAY");
}

}  // namespace

void ShowErrorBox(const char* caption, const char* text) {
    std::fprintf(stderr, "%s: %s\n", caption, text);
    std::fflush(stderr);
    if (g_errorBoxHandler) {
        g_errorBoxHandler(caption, text);
        return;
    }
    if (RealDisplayAvailable()) {
        SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, caption, text, nullptr);
    }
}

void SetErrorBoxHandler(ErrorBoxFn handler) { g_errorBoxHandler = handler; }

}  // namespace platform
