#include <cstdio>

#include "platform/Platform.h"

namespace platform {

void WriteErrorLine(const char* caption, const char* text) {
    std::fprintf(stderr, "%s: %s\n", caption, text);
    std::fflush(stderr);
}

}  // namespace platform
