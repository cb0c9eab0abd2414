// The native windows of a program on a test's own X server, found and
// captured from outside, as a person sees them.
#pragma once

#include <sys/types.h>

#include <string>
#include <thread>
#include <vector>

#include "tests/support/ChildProcess.h"

namespace testproc {

struct WindowRect {
    int x = 0;
    int y = 0;
    int wide = 0;
    int tall = 0;

    bool Overlaps(const WindowRect& other) const {
        return x < other.x + other.wide && other.x < x + wide && y < other.y + other.tall && other.y < y + tall;
    }
};

struct NativeWindow {
    std::string id;
    WindowRect rect;
};

// The visible windows of a process; with a title pattern (a regular
// expression, as xdotool takes it) only those whose title matches.
std::vector<NativeWindow> VisibleWindows(const XServer& x, pid_t pid, const std::string& titlePattern = {});

// What the screen shows in a rectangle: RGB bytes, row by row; empty when
// it could not be captured. pngFile, when not empty, gets the same as PNG.
std::string CaptureRgb(const XServer& x, const WindowRect& rect, const std::string& pngFile = {});

bool ShowsColour(const std::string& rgb, unsigned char red, unsigned char green, unsigned char blue);

// Polls until the condition holds; false once the deadline has passed.
template <typename Condition>
bool WaitUntil(Condition condition, Clock::duration timeout) {
    auto deadline = Clock::now() + timeout;
    while (!condition()) {
        if (Clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return true;
}

}  // namespace testproc
