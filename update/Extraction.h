// Unpacks the downloaded release archive over the game folder with libzip.
// Before anything is written the archive's directory is checked on its own
// (see ZipDirectoryScan.h) and the sizes its entries declare are weighed
// against the free space of the game folder's file system. Every member is
// written to a temporary file beside its target and renamed over it, so a
// failing member leaves no half-written file and a library that is mapped
// while being replaced keeps its old contents. Folders are entered one at a
// time without following links, so a link planted in the game folder fails
// the extraction instead of sending members elsewhere; a link at a target
// is replaced, a read-only target fails. Member names that would leave the
// destination, and target paths of 260 characters or more, fail like a
// member that cannot be written. Nothing is rolled back: members before a
// failing one stay written.
#pragma once

#include <string>

namespace update {

// Target paths must stay below this length, as the game's own tools expect.
inline constexpr int kMaxPath = 260;

// Resolves the archive and the destination through the file-system service
// and unpacks; publishes its failure text and returns false on failure.
bool ExtractArchive(const std::string& archiveFileName);

// True when every member was written below the destination.
bool UnpackArchive(const char* archivePath, const char* destination);

// False for names that climb out of the destination: ".." components,
// absolute names, drive letters. Either separator counts.
bool IsSafeMemberName(const std::string& name);

}  // namespace update
