#include "vgui2/TextConvert.h"

#include <cstdint>

namespace vgui2 {

namespace {

// Decodes one UTF-8 sequence; malformed input yields U+FFFD and consumes one
// byte so that decoding always makes progress.
char32_t DecodeUtf8(const unsigned char*& p) {
    unsigned char lead = *p++;
    if (lead < 0x80) {
        return lead;
    }
    int extra = 0;
    char32_t code = 0;
    if ((lead & 0xE0) == 0xC0) {
        extra = 1;
        code = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        extra = 2;
        code = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        extra = 3;
        code = lead & 0x07;
    } else {
        return 0xFFFD;
    }
    const unsigned char* start = p;
    for (int i = 0; i < extra; ++i) {
        if ((p[i] & 0xC0) != 0x80) {
            p = start;
            return 0xFFFD;
        }
        code = (code << 6) | (p[i] & 0x3F);
    }
    p += extra;
    static const char32_t kMinimum[] = {0, 0x80, 0x800, 0x10000};
    if (code < kMinimum[extra] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
        return 0xFFFD;
    }
    return code;
}

}  // namespace

int Utf8ToWide(const char* narrow, wchar* wide, int wideBufferBytes) {
    int capacity = wideBufferBytes / static_cast<int>(sizeof(wchar));
    if (!wide || capacity <= 0) {
        return 0;
    }
    int count = 0;
    const unsigned char* p = reinterpret_cast<const unsigned char*>(narrow ? narrow : "");
    while (*p) {
        char32_t code = DecodeUtf8(p);
        if (code >= 0x10000) {
            if (count + 2 > capacity - 1) {
                break;
            }
            code -= 0x10000;
            wide[count++] = static_cast<wchar>(0xD800 + (code >> 10));
            wide[count++] = static_cast<wchar>(0xDC00 + (code & 0x3FF));
        } else {
            if (count + 1 > capacity - 1) {
                break;
            }
            wide[count++] = static_cast<wchar>(code);
        }
    }
    wide[count] = 0;
    return count;
}

int WideToUtf8(const wchar* wide, char* narrow, int narrowBufferBytes) {
    if (!narrow || narrowBufferBytes <= 0) {
        return 0;
    }
    int count = 0;
    const wchar* p = wide ? wide : u"";
    while (*p) {
        char32_t code = *p++;
        if (code >= 0xD800 && code <= 0xDBFF && *p >= 0xDC00 && *p <= 0xDFFF) {
            code = 0x10000 + ((code - 0xD800) << 10) + (*p++ - 0xDC00);
        } else if (code >= 0xD800 && code <= 0xDFFF) {
            code = 0xFFFD;
        }
        unsigned char bytes[4];
        int length;
        if (code < 0x80) {
            bytes[0] = static_cast<unsigned char>(code);
            length = 1;
        } else if (code < 0x800) {
            bytes[0] = static_cast<unsigned char>(0xC0 | (code >> 6));
            bytes[1] = static_cast<unsigned char>(0x80 | (code & 0x3F));
            length = 2;
        } else if (code < 0x10000) {
            bytes[0] = static_cast<unsigned char>(0xE0 | (code >> 12));
            bytes[1] = static_cast<unsigned char>(0x80 | ((code >> 6) & 0x3F));
            bytes[2] = static_cast<unsigned char>(0x80 | (code & 0x3F));
            length = 3;
        } else {
            bytes[0] = static_cast<unsigned char>(0xF0 | (code >> 18));
            bytes[1] = static_cast<unsigned char>(0x80 | ((code >> 12) & 0x3F));
            bytes[2] = static_cast<unsigned char>(0x80 | ((code >> 6) & 0x3F));
            bytes[3] = static_cast<unsigned char>(0x80 | (code & 0x3F));
            length = 4;
        }
        if (count + length > narrowBufferBytes - 1) {
            break;
        }
        for (int i = 0; i < length; ++i) {
            narrow[count++] = static_cast<char>(bytes[i]);
        }
    }
    narrow[count] = '\0';
    return count;
}

std::size_t WideLength(const wchar* text) {
    std::size_t length = 0;
    while (text && text[length]) {
        ++length;
    }
    return length;
}

long long WideToInt64(const wchar* text) {
    if (!text) {
        return 0;
    }
    while (*text == u' ' || (*text >= u'\t' && *text <= u'\r')) {
        ++text;
    }
    bool negative = false;
    if (*text == u'-' || *text == u'+') {
        negative = *text == u'-';
        ++text;
    }
    std::uint64_t value = 0;
    while (*text >= u'0' && *text <= u'9') {
        value = value * 10 + static_cast<std::uint64_t>(*text - u'0');
        ++text;
    }
    return negative ? static_cast<long long>(0 - value) : static_cast<long long>(value);
}

int WideToInt(const wchar* text) { return static_cast<int>(WideToInt64(text)); }

}  // namespace vgui2
