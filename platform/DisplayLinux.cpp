#include "platform/Display.h"

#include <dlfcn.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>

namespace platform {

namespace {

std::atomic<bool> g_displayLost{false};

const char* Environment(const char* name) {
    const char* value = std::getenv(name);
    return value && *value ? value : nullptr;
}

// Xlib's handler type; the display argument is opaque here. SDL loads the
// library itself, so it is looked up rather than linked.
using IOErrorHandler = int (*)(void*);
using SetIOErrorHandler = IOErrorHandler (*)(IOErrorHandler);

int OnDisplayLost(void*) {
    g_displayLost = true;
    std::fprintf(stderr, "updvgui2: lost the connection to the display\n");
    // Xlib's own handler ends the process here too; it must not return.
    std::exit(1);
}

}  // namespace

const char* DisplayDrivers() {
    // Only the drivers the environment names are tried: any other would
    // print its own complaints, and SDL's last resort is headless.
    if (Environment("WAYLAND_DISPLAY")) {
        return Environment("DISPLAY") ? "wayland,x11" : "wayland";
    }
    return Environment("DISPLAY") ? "x11" : nullptr;
}

std::string DisplayName() {
    if (const char* x = Environment("DISPLAY")) {
        return x;
    }
    const char* wayland = Environment("WAYLAND_DISPLAY");
    return wayland ? wayland : "";
}

void WatchForDisplayLoss() {
    void* library = dlopen("libX11.so.6", RTLD_NOW | RTLD_NOLOAD);
    if (!library) {
        return;
    }
    if (auto set = reinterpret_cast<SetIOErrorHandler>(dlsym(library, "XSetIOErrorHandler"))) {
        set(OnDisplayLost);
    }
    // The library stays loaded by SDL; this only drops our reference.
    dlclose(library);
}

bool DisplayLost() { return g_displayLost; }

}  // namespace platform
