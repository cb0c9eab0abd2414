// Text crossing into and out of the Windows API: the program keeps UTF-8,
// the system takes and gives UTF-16. A path that does not convert exactly
// names no file, so the strict conversions tell invalid text apart instead
// of passing a look-alike name on; the replacing ones are for text a person
// only reads.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// Empty when the text is not valid UTF-8.
std::optional<std::wstring> Widen(std::string_view utf8);

// Empty when the text is not valid UTF-16 (a lone surrogate).
std::optional<std::string> Narrow(std::wstring_view utf16);

// Invalid sequences become U+FFFD.
std::wstring WidenReplacing(std::string_view utf8);
std::string NarrowReplacing(std::wstring_view utf16);

// Text from a call that fills a buffer of the caller's: it gets the buffer
// and its size in characters and returns the length written (less than
// the size), a size it needs (not less) or 0 for a failure. The buffer
// grows until the text fits, never cut; empty on a failure.
std::optional<std::wstring> QueryWideText(const std::function<unsigned long(wchar_t*, unsigned long)>& call);

}  // namespace platform
