// The order every system keeps: the line first, then a test's handler or
// the system's box.
#include "platform/Platform.h"
#include "platform/SystemErrorBox.h"

namespace platform {

namespace {

ErrorBoxFn g_errorBoxHandler = nullptr;

}  // namespace

void ShowErrorBox(const char* caption, const char* text) {
    WriteErrorLine(caption, text);
    if (g_errorBoxHandler) {
        g_errorBoxHandler(caption, text);
        return;
    }
    ShowSystemErrorBox(caption, text);
}

void SetErrorBoxHandler(ErrorBoxFn handler) { g_errorBoxHandler = handler; }

}  // namespace platform
