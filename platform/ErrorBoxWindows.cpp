#include <windows.h>

#include <string>

#include "platform/Platform.h"
#include "platform/WideText.h"

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
    MessageBoxW(nullptr, WidenReplacing(text).c_str(), WidenReplacing(caption).c_str(), MB_ICONERROR);
}

void SetErrorBoxHandler(ErrorBoxFn handler) { g_errorBoxHandler = handler; }

}  // namespace platform
