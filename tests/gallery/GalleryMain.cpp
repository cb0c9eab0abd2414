// The control gallery program. "--click <name>" (repeatable) clicks that
// control first. With "--screenshot <file>" it draws a few frames, saves the
// window as PNG and exits (works offscreen); otherwise it runs until the GUI
// loop stops (press Ctrl+C). "--report" writes what happens to standard
// output, one line per event, for a driver working the window from outside.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "modules/updvgui2/ModuleServices.h"
#include "tests/gallery/Gallery.h"

int main(int argc, char** argv) {
    const char* screenshot = nullptr;
    std::vector<const char*> clicks;
    bool report = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--screenshot") == 0 && i + 1 < argc) {
            screenshot = argv[++i];
        } else if (std::strcmp(argv[i], "--report") == 0) {
            report = true;
        } else if (std::strcmp(argv[i], "--click") == 0 && i + 1 < argc) {
            clicks.push_back(argv[++i]);
        } else {
            std::fprintf(stderr, "usage: %s [--report] [--click control]... [--screenshot file.png]\n", argv[0]);
            return 2;
        }
    }
    const char* stage = std::getenv("UPD_STAGE_DIR");
    Gallery gallery(stage ? stage : UPD_DEFAULT_STAGE_DIR, UPD_GALLERY_DIR);
    if (!gallery.IsReady()) {
        std::fprintf(stderr, "gallery: %s\n", gallery.Error().c_str());
        return 1;
    }
    if (report) {
        // The driver reads line by line while we run; nothing may wait in
        // a buffer.
        gallery.StartReport([](const std::string& line) {
            std::fputs((line + "\n").c_str(), stdout);
            std::fflush(stdout);
        });
    }
    gallery.RunFrames(3);
    for (const char* name : clicks) {
        if (!gallery.Click(name)) {
            std::fprintf(stderr, "gallery: no control named %s\n", name);
            return 1;
        }
    }
    if (screenshot) {
        gallery.RunFrames(2);
        if (!gallery.SaveScreenshot(screenshot)) {
            std::fprintf(stderr, "gallery: could not save %s\n", screenshot);
            return 1;
        }
        return 0;
    }
    while (TheVGui().IsRunning()) {
        gallery.RunFrames(1);
    }
    return 0;
}
