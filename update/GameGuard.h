// The game-process guard: before an update starts it looks for the game
// executable "hl.exe" running from the updater's own folder (or a folder
// below it) and refuses the update, with an error box, when that file
// cannot be opened for writing. Processes it may not inspect count as not
// running; only the first match is examined.
#pragma once

#include <string>

namespace update {

inline constexpr const char* kGameExecutableName = "hl.exe";
inline constexpr const char* kGuardRefusalText =
    "Update cannot proceed.\n\nPossible reasons:\n - hl.exe is running from the same folder.\n"
    " - hl.exe is locked or in use.\n - No write permissions.";

// True to refuse the update; the box has been reported then.
bool GameProcessGuard();

// The guard for a given folder, lower-cased, ending in its separator; an
// empty folder matches every path.
bool GameProcessGuardFor(const std::string& ownFolder);

// The updater's folder as the guard compares it: lower-cased, with the
// separator kept at its end; empty when the path has no separator.
std::string OwnFolderOf(const std::string& executablePath);

std::string LowerCase(std::string text);

}  // namespace update
