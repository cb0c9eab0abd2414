#include "platform/Text.h"

namespace platform {

namespace {

unsigned char Folded(char c) {
    auto byte = static_cast<unsigned char>(c);
    return byte >= 'A' && byte <= 'Z' ? static_cast<unsigned char>(byte - 'A' + 'a') : byte;
}

}  // namespace

int CompareNoCaseN(const char* a, const char* b, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        unsigned char left = Folded(a[i]);
        unsigned char right = Folded(b[i]);
        if (left != right || left == '\0') {
            return left - right;
        }
    }
    return 0;
}

int CompareNoCase(const char* a, const char* b) { return CompareNoCaseN(a, b, static_cast<std::size_t>(-1)); }

}  // namespace platform
