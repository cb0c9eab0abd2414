// What the manifest pins of an archive: its size and SHA-256, read in one
// pass over the file.
#pragma once

#include <cstdint>
#include <string>

namespace qlmrelease {

// The updater keeps "size" in 32 signed bits.
inline constexpr std::uint64_t kLargestArchive = 2147483647;

struct ArchiveDigest {
    std::uint64_t size = 0;
    std::string sha256;  // 64 lower-case hex digits
};

// False with a one-line reason when the file cannot be read.
bool DigestArchive(const std::string& path, ArchiveDigest& digest, std::string& reason);

}  // namespace qlmrelease
