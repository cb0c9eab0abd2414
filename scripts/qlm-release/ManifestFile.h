// The manifest as the tool edits it: key order and keys it does not know
// are kept, and a rewrite replaces the file in one step.
#pragma once

#include <string>

#include <nlohmann/json.hpp>

namespace qlmrelease {

using Json = nlohmann::ordered_json;

// An object whose "branches" is a list (added when absent). A missing file
// gives a new manifest when createWhenMissing, else fails.
bool LoadManifest(const std::string& path, bool createWhenMissing, Json& manifest, std::string& reason);

bool SaveManifest(const std::string& path, const Json& manifest, std::string& reason);

}  // namespace qlmrelease
