// The zip library's view of an archive file that the platform layer opened,
// so that the archive is named in UTF-8 on every system: the library's own
// opening by name does not take UTF-8 names on Windows. The source reads
// and seeks with 64-bit offsets, and closes the file when it is freed.
#pragma once

#include <zip.h>

namespace update {

// Null when the file cannot be opened. Unbuffered suits reads scattered
// over the file: a buffered one refills a whole buffer after every seek.
zip_source_t* OpenArchiveSource(const char* path, bool buffered = true);

}  // namespace update
