// The manifest: where it is fetched from, how its branches are read and
// which one is selected, and the one-time engine initialisation that ties
// them together. A manifest that cannot be fetched or parsed ends the
// process with an error box and exit code 1. Filling the window's branch
// list is left to the window (see IUpdatePublisher::BranchListReady).
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

// Runs once per process (until engine shutdown); completes or ends the
// process.
void EngineInit();

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
