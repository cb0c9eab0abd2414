// Clipboard text and opening documents through SDL. The clipboard belongs to
// SDL's video subsystem, which the surface brings up; before that it fails
// instead of starting SDL behind the surface's back. Documents are handed
// to the desktop's opener without a shell, so no text is ever interpreted.
#include <SDL2/SDL.h>

#include "modules/updvgui2/ModuleServices.h"

namespace {

bool VideoReady() { return SDL_WasInit(SDL_INIT_VIDEO) != 0; }

}  // namespace

bool PlatformSetClipboardText(const std::string& utf8) {
    return VideoReady() && SDL_SetClipboardText(utf8.c_str()) == 0;
}

std::string PlatformGetClipboardText() {
    if (!VideoReady()) {
        return {};
    }
    char* text = SDL_GetClipboardText();
    std::string result = text ? text : "";
    SDL_free(text);
    return result;
}

bool PlatformOpenDocument(const char* target) {
    if (!target || !*target) {
        return false;
    }
    return SDL_OpenURL(target) == 0;
}
