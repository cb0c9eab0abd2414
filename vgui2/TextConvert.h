// Narrow (UTF-8) and wide (UTF-16) text conversion into fixed buffers, plus
// the few wide-text helpers the toolkit needs. Buffer sizes are in bytes, as
// the services pass them; results are always terminated and never cut a
// character in half.
#pragma once

#include <cstddef>

#include "services/VGuiTypes.h"

namespace vgui2 {

// Returns the number of wide characters written, without the terminator.
int Utf8ToWide(const char* narrow, wchar* wide, int wideBufferBytes);
// Returns the number of bytes written, without the terminator.
int WideToUtf8(const wchar* wide, char* narrow, int narrowBufferBytes);

std::size_t WideLength(const wchar* text);
// Leading optional sign and decimal digits, like atoi.
int WideToInt(const wchar* text);
long long WideToInt64(const wchar* text);

}  // namespace vgui2
