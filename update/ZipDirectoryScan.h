// A look at a zip archive's directory before the zip library opens it. The
// library reads the whole central directory into memory and trusts every
// entry's offsets, so an archive from a hostile server could make it take
// hundreds of megabytes before the first member, or point many entries at
// the same compressed data and unpack a few kilobytes into gigabytes. The
// scan reads the end record (and its zip64 form) and the directory as a
// stream, refuses what is too large, ambiguous or overlapping, and sums the
// sizes the entries declare so that the caller can weigh them against the
// free space.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace update {

inline constexpr std::uint64_t kMaxArchiveEntries = 262144;
inline constexpr std::uint64_t kMaxCentralDirectoryBytes = 64u << 20;

struct ZipDirectorySummary {
    std::uint64_t entries = 0;
    // The sum of every entry's uncompressed size, as the entries declare it.
    std::uint64_t declaredBytes = 0;
};

// Nothing when the archive is refused: no end record or more than one that
// could be taken for it, more entries or a larger directory than allowed, a
// directory that does not parse, or an entry whose local header and data
// overlap another entry's or reach past the start of the directory.
std::optional<ZipDirectorySummary> ScanZipDirectory(const std::string& archivePath);

}  // namespace update
