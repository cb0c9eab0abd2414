// Code points in the toolkit's 16-bit wide text. A character outside the
// 16-bit range is a surrogate pair: two units that are measured, drawn,
// wrapped, selected and deleted as one character. A surrogate without its
// partner stands for itself, so that it shows as one box rather than
// vanishing or taking its neighbour with it.
#pragma once

#include <string_view>

#include "services/ISurface.h"
#include "services/VGuiTypes.h"

namespace vgui2 {

constexpr bool IsHighSurrogate(char32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
constexpr bool IsLowSurrogate(char32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

// The code point that starts at index; length gets its count of units (2 for
// a pair, else 1). An index at or past the end gives 0 and length 0.
inline char32_t CodePointAt(std::u16string_view text, int index, int* length = nullptr) {
    int size = static_cast<int>(text.size());
    if (index < 0 || index >= size) {
        if (length) {
            *length = 0;
        }
        return 0;
    }
    char32_t unit = text[static_cast<std::size_t>(index)];
    bool pair = IsHighSurrogate(unit) && index + 1 < size && IsLowSurrogate(text[static_cast<std::size_t>(index + 1)]);
    if (length) {
        *length = pair ? 2 : 1;
    }
    if (!pair) {
        return unit;
    }
    return 0x10000 + ((unit - 0xD800) << 10) + (text[static_cast<std::size_t>(index + 1)] - 0xDC00);
}

// Moves an index that falls between the two halves of a pair back to the
// pair's start; any other index stays as it is.
inline int CodePointStart(std::u16string_view text, int index) {
    int size = static_cast<int>(text.size());
    if (index > 0 && index < size && IsLowSurrogate(text[static_cast<std::size_t>(index)]) &&
        IsHighSurrogate(text[static_cast<std::size_t>(index - 1)])) {
        return index - 1;
    }
    return index;
}

inline int NextCodePointStart(std::u16string_view text, int index) {
    int length = 0;
    CodePointAt(text, index, &length);
    return index + (length > 0 ? length : 1);
}

inline int PreviousCodePointStart(std::u16string_view text, int index) {
    return index <= 0 ? 0 : CodePointStart(text, index - 1);
}

// The longest prefix of at most maxUnits units that does not end inside a
// pair.
inline int WholeCodePointPrefix(std::u16string_view text, int maxUnits) {
    int size = static_cast<int>(text.size());
    return maxUnits >= size ? size : CodePointStart(text, maxUnits < 0 ? 0 : maxUnits);
}

// Draws one code point at the surface's text position. The surface's
// character call takes 16 bits only, so a pair goes through its text call.
inline void DrawCodePoint(ISurface& surface, char32_t codePoint) {
    if (codePoint < 0x10000) {
        surface.DrawUnicodeChar(static_cast<wchar>(codePoint));
        return;
    }
    char32_t offset = codePoint - 0x10000;
    const wchar pair[2] = {static_cast<wchar>(0xD800 + (offset >> 10)), static_cast<wchar>(0xDC00 + (offset & 0x3FF))};
    surface.DrawPrintText(pair, 2);
}

}  // namespace vgui2
