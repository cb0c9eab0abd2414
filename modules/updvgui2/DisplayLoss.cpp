#include "modules/updvgui2/DisplayLoss.h"

#include <dlfcn.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>

namespace {

std::atomic<bool> g_displayLost{false};

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
