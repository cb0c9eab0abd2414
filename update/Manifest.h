// The manifest: where it is fetched from, how its branches are read and
// which one is selected. The one-time engine initialisation that ties them
// together is in EngineInit.h.
#pragma once

#include <cstddef>
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
inline constexpr const char* kVerifyFailedText =
    "Failed to verify update info.\n\nThe update information is not signed by the publisher. Exiting...";

// A manifest nests a few levels; anything deeper is refused before it is
// built, as is a document with more values than the memory budget holds
// (a value of the parsed tree costs up to about 130 bytes, so a 16 MiB text
// of empty objects would otherwise take most of a gigabyte).
inline constexpr int kMaxManifestDepth = 64;
inline constexpr std::size_t kMaxManifestValues = 1000000;

// The manifest text through the override file, a pointer file or the
// built-in address; empty when the final fetch failed. With failureTexts
// given, each failed fetch's text is appended there instead of being shown;
// with finalUrl given, it receives the address the text was asked from.
std::string ResolveManifest(const char* builtInUrl, std::vector<std::string>* failureTexts = nullptr,
                            std::string* finalUrl = nullptr);

// Strict parse, no exceptions; false for any syntax error and for a
// document beyond the depth or value limits. The document is left alone
// on failure.
bool ParseManifest(std::string_view text, nlohmann::json& document);

// The listing's form of a text: control characters (C0, DEL and the C1
// range written as UTF-8) become "\xNN" escapes so that a manifest cannot
// drive the terminal; every other byte stays as it is.
std::string EscapeForListing(std::string_view text);

// The accepted branch objects of a manifest document in order, each also
// written to the listing. Entries without a name, that are not objects or
// that hold a field of the wrong type are skipped.
std::vector<BranchRecord> ReadBranches(const nlohmann::json& document, std::FILE* listing);

// Rebuilds the state's branch list from its manifest document and picks the
// selected branch by the chosen name, falling back to (and saving) the first.
void ParseBranches();

}  // namespace update
