#include <windows.h>

#include <string>

#include "platform/Platform.h"
#include "platform/WideText.h"

namespace platform {

namespace {

constexpr std::size_t kMaxWrite = 1u << 30;

// A GUI program started from the desktop has no standard error; one run by
// a console, a pipe or a test runner has, and gets the line.
HANDLE AttachedErrorStream() {
    HANDLE stream = GetStdHandle(STD_ERROR_HANDLE);
    if (stream == nullptr || stream == INVALID_HANDLE_VALUE || GetFileType(stream) == FILE_TYPE_UNKNOWN) {
        return nullptr;
    }
    return stream;
}

// A console shows UTF-16 whatever its code page; anything else gets the
// UTF-8 bytes as they are.
void WriteLine(HANDLE stream, const std::string& line) {
    DWORD mode = 0;
    if (GetFileType(stream) == FILE_TYPE_CHAR && GetConsoleMode(stream, &mode)) {
        std::wstring wide = WidenReplacing(line);
        DWORD written = 0;
        WriteConsoleW(stream, wide.c_str(), static_cast<DWORD>(wide.size()), &written, nullptr);
        return;
    }
    const char* bytes = line.data();
    std::size_t left = line.size();
    while (left > 0) {
        DWORD chunk = static_cast<DWORD>(left < kMaxWrite ? left : kMaxWrite);
        DWORD written = 0;
        if (!WriteFile(stream, bytes, chunk, &written, nullptr) || written == 0) {
            return;
        }
        bytes += written;
        left -= written;
    }
}

}  // namespace

void WriteErrorLine(const char* caption, const char* text) {
    if (HANDLE stream = AttachedErrorStream()) {
        WriteLine(stream, std::string(caption) + ": " + text + "\n");
    }
}

}  // namespace platform
