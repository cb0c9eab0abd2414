// The two settings files of the game folder and the installed-version
// probe. "qlm.uri" optionally replaces the built-in manifest address and is
// never written; "qlm.branch" holds the branch chosen last; "qlm.seen" the
// newest signing time of a signed manifest accepted here. All are opened by
// bare name, so they resolve against the current directory.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace update {

enum class ManifestOverrideClass {
    None,         // use the built-in manifest address
    DirectUrl,    // the manifest itself
    PointerUrl,   // a text whose first line names the manifest
};

struct ManifestOverride {
    ManifestOverrideClass kind = ManifestOverrideClass::None;
    std::string url;  // empty for None
};

inline constexpr const char* kManifestOverrideFile = "qlm.uri";
inline constexpr const char* kBranchFile = "qlm.branch";
inline constexpr const char* kSeenFile = "qlm.seen";
inline constexpr const char* kDefaultBranchName = "plus";
inline constexpr const char* kNoVersion = "NONE";
inline constexpr const char* kGameModuleName = "FileSystem_Stdio";
inline constexpr const char* kVersionExportName = "QuillmereVersion";

// True when the text begins with "http://" or "https://", in any case.
bool HasHttpPrefix(std::string_view text);
// The text up to its first carriage return or line feed.
std::string_view FirstLine(std::string_view text);
// Classifies the first line of an override file.
ManifestOverride ClassifyManifestOverride(std::string_view firstLine);

ManifestOverride ReadManifestOverride();
// Sets the state's chosen branch name; "plus" when the file gives none.
void ReadChosenBranchName();
// Writes the state's chosen branch name, without a line end; a file that
// cannot be opened stays as it was.
void SaveBranch();

// The signing time remembered in "qlm.seen" (decimal Unix seconds, an
// optional line end); none when the file is missing or holds anything else.
std::optional<std::int64_t> ReadSeenTimestamp();
// Replaces "qlm.seen" in one step, so that an interrupted write leaves the
// previous time rather than none; false when it could not be written.
bool SaveSeenTimestamp(std::int64_t seconds);

// Sets the state's installed version from the game module's export.
void VersionProbe();
// The probe on a given module name; a name without ".so" is tried as given
// first, then with it. "NONE" when the module, its export or its text is
// missing.
void ProbeInstalledVersion(const char* moduleName, char* version, int versionSize);

}  // namespace update
