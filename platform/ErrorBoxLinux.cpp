#include <SDL.h>

#include <cstdio>
#include <cstdlib>

#include "platform/Display.h"
#include "platform/OwnErrorBox.h"
#include "platform/SystemErrorBox.h"

namespace platform {

namespace {

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
    return DisplayDrivers() != nullptr;
}

}  // namespace

void ShowSystemErrorBox(const char* caption, const char* text) {
    if (!RealDisplayAvailable()) {
        return;
    }
    // SDL's box needs X core fonts or zenity, which fresh and Wayland-only
    // desktops lack; a report nobody sees would leave the person with a
    // program that seemingly did nothing.
    if (SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, caption, text, nullptr) == 0) {
        return;
    }
    if (!ShowOwnErrorBox(caption, text)) {
        std::fprintf(stderr, "%s: no error box could be shown: %s\n", caption, SDL_GetError());
        std::fflush(stderr);
    }
}

}  // namespace platform
