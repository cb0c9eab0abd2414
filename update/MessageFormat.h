// The temporary message formatter behind every formatted failure text of
// the engine: printf-style formatting into one of 16 rotating buffers.
#pragma once

namespace update {

inline constexpr int kMessageBufferCount = 16;
inline constexpr int kMessageBufferSize = 1024;

// Formats into the next buffer (output cut to 1023 bytes, always
// terminated). The text stays valid until 16 further calls from any thread;
// two threads never receive the same buffer from concurrent calls.
const char* TempFormat(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace update
