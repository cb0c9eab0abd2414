#include "platform/WideText.h"

#include <windows.h>

#include <climits>

namespace platform {

namespace {

// Longer than any path or name the system hands out.
constexpr std::size_t kLongestQuery = 1u << 16;

// The API counts in int; longer text is refused rather than cut.
bool FitsApi(std::size_t length) { return length <= static_cast<std::size_t>(INT_MAX); }

std::optional<std::wstring> ToWide(std::string_view utf8, DWORD flags) {
    if (utf8.empty()) {
        return std::wstring();
    }
    if (!FitsApi(utf8.size())) {
        return std::nullopt;
    }
    int length = static_cast<int>(utf8.size());
    int needed = MultiByteToWideChar(CP_UTF8, flags, utf8.data(), length, nullptr, 0);
    if (needed <= 0) {
        return std::nullopt;
    }
    std::wstring wide(static_cast<std::size_t>(needed), L'\0');
    if (MultiByteToWideChar(CP_UTF8, flags, utf8.data(), length, wide.data(), needed) != needed) {
        return std::nullopt;
    }
    return wide;
}

std::optional<std::string> ToUtf8(std::wstring_view utf16, DWORD flags) {
    if (utf16.empty()) {
        return std::string();
    }
    if (!FitsApi(utf16.size())) {
        return std::nullopt;
    }
    int length = static_cast<int>(utf16.size());
    int needed = WideCharToMultiByte(CP_UTF8, flags, utf16.data(), length, nullptr, 0, nullptr, nullptr);
    if (needed <= 0) {
        return std::nullopt;
    }
    std::string narrow(static_cast<std::size_t>(needed), '\0');
    if (WideCharToMultiByte(CP_UTF8, flags, utf16.data(), length, narrow.data(), needed, nullptr, nullptr) !=
        needed) {
        return std::nullopt;
    }
    return narrow;
}

}  // namespace

std::optional<std::wstring> Widen(std::string_view utf8) { return ToWide(utf8, MB_ERR_INVALID_CHARS); }

std::optional<std::string> Narrow(std::wstring_view utf16) { return ToUtf8(utf16, WC_ERR_INVALID_CHARS); }

std::wstring WidenReplacing(std::string_view utf8) { return ToWide(utf8, 0).value_or(std::wstring()); }

std::string NarrowReplacing(std::wstring_view utf16) { return ToUtf8(utf16, 0).value_or(std::string()); }

std::optional<std::wstring> QueryWideText(const std::function<unsigned long(wchar_t*, unsigned long)>& call) {
    std::wstring buffer(MAX_PATH, L'\0');
    while (buffer.size() <= kLongestQuery) {
        unsigned long length = call(buffer.data(), static_cast<unsigned long>(buffer.size()));
        if (length == 0) {
            return std::nullopt;
        }
        if (length < buffer.size()) {
            buffer.resize(length);
            return buffer;
        }
        buffer.resize(length > buffer.size() ? length : buffer.size() * 2);
    }
    return std::nullopt;
}

}  // namespace platform
