#include <windows.h>

#include <string>

#include "platform/SystemErrorBox.h"
#include "platform/WideText.h"

namespace platform {

void ShowSystemErrorBox(const char* caption, const char* text) {
    MessageBoxW(nullptr, WidenReplacing(text).c_str(), WidenReplacing(caption).c_str(), MB_ICONERROR);
}

}  // namespace platform
