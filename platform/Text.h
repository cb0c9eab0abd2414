// Text compares that the C libraries of the two systems spell differently
// (strcasecmp here, _stricmp there). Case is folded for ASCII letters only,
// as the toolkit's names, commands and keys are ASCII; other bytes compare
// as they stand.
#pragma once

#include <cstddef>

namespace platform {

// Like strcmp, with A-Z and a-z taken as equal.
int CompareNoCase(const char* a, const char* b);

// The same over at most count bytes.
int CompareNoCaseN(const char* a, const char* b, std::size_t count);

}  // namespace platform
