// What the fuzz targets share: the key-values service every tree needs,
// what the KeyValues text form can carry back unchanged, the text of a
// tree, and silencing output a target does not judge.
#pragma once

#include <cstddef>
#include <string>

class KeyValues;

namespace fuzzsupport {

// Connects the process's key-values memory service; cheap to call per input.
void ConnectKeyValues();

// The longest token the text reader takes once escaped.
inline constexpr std::size_t kLongestToken = 511;

// A name or value the text form writes and reads back as it was: not empty,
// not a lone brace, and short enough once escaped.
bool IsCarriedToken(const char* text);

// A tree the text form carries whole: every name a carried token, every
// leaf a value (a key with neither value nor subkeys, or with an empty
// text, is not written, which can empty its section), every string value a
// carried token.
bool FitsTheTextFormat(KeyValues* tree);

std::string WriteText(KeyValues* tree);

// Points standard output at /dev/null, for targets whose code under test
// writes listings that would drown the fuzzer's own report.
void SilenceStandardOutput();

}  // namespace fuzzsupport
