// Whole files in and out, named by UTF-8 paths as everywhere in the project.
#pragma once

#include <string>

namespace qlmrelease {

// False when the file cannot be opened or read to its end.
bool ReadWholeFile(const std::string& path, std::string& contents);

// Replaces the file's contents in one step (platform::ReplaceFileContents),
// so that a reader (or a crash) never meets half a manifest.
bool ReplaceFile(const std::string& path, const std::string& contents, std::string& reason);

// The folder part of a path ("." when it has none), and its last part.
std::string FolderOf(const std::string& path);
std::string LastPartOf(const std::string& path);

}  // namespace qlmrelease
