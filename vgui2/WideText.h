// Whole-string conversions between narrow (UTF-8) and wide text for
// controls that keep their text in std::u16string; they size the buffers
// from the input so nothing is cut.
#pragma once

#include <string>
#include <vector>

#include "vgui2/TextConvert.h"

namespace vgui2 {

inline std::u16string ToWide(const char* narrow) {
    if (!narrow || !*narrow) {
        return {};
    }
    std::size_t length = std::char_traits<char>::length(narrow);
    std::vector<wchar> buffer(length + 1);
    int count = Utf8ToWide(narrow, buffer.data(), static_cast<int>(buffer.size() * sizeof(wchar)));
    return std::u16string(buffer.data(), static_cast<std::size_t>(count));
}

inline std::string ToNarrow(const std::u16string& wide) {
    std::vector<char> buffer(wide.size() * 3 + 1);
    int count = WideToUtf8(wide.c_str(), buffer.data(), static_cast<int>(buffer.size()));
    return std::string(buffer.data(), static_cast<std::size_t>(count));
}

}  // namespace vgui2
