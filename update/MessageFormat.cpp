#include "update/MessageFormat.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>

namespace update {

namespace {

char g_buffers[kMessageBufferCount][kMessageBufferSize];
// The download job formats its failure text on a worker thread while the
// GUI thread may format its own, so the rotation itself is atomic.
std::atomic<unsigned> g_next{0};

}  // namespace

const char* TempFormat(const char* format, ...) {
    char* buffer = g_buffers[g_next.fetch_add(1, std::memory_order_relaxed) % kMessageBufferCount];
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(buffer, kMessageBufferSize, format, arguments);
    va_end(arguments);
    return buffer;
}

}  // namespace update
