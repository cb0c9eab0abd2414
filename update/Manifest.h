// The manifest: where it is fetched from, how its branches are read and
// which one is selected. The one-time engine initialisation that ties them
// together is in EngineInit.h.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json_fwd.hpp>

#include "update/UpdateState.h"

namespace update {

inline constexpr const char* kBuiltInManifestUrl = "https://updates.quillmere.net/manifest.json";
inline constexpr const char* kFetchFailedText = "Failed to get update info.\n\nCheck your internet connection. Exiting...";
inline constexpr const char* kParseFailedText = "Failed to get JSON for update data. Exiting...";

// The manifest text through the override file, a pointer file or the
// built-in address; empty when the final fetch failed.
std::string ResolveManifest(const char* builtInUrl);

// Strict parse, no exceptions; false for any syntax error.
bool ParseManifest(std::string_view text, nlohmann::json& document);

// The accepted branch objects of a manifest document in order, each also
// written to the listing. Entries without a name, that are not objects or
// that hold a field of the wrong type are skipped.
std::vector<BranchRecord> ReadBranches(const nlohmann::json& document, std::FILE* listing);

// Rebuilds the state's branch list from its manifest document and picks the
// selected branch by the chosen name, falling back to (and saving) the first.
void ParseBranches();

}  // namespace update
