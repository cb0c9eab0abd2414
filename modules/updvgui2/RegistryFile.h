// The registry file: registry keys and values kept as a KeyValues text
// tree, one section per key, so
//   "Registry" { "HKEY_CURRENT_USER" { "Software" { ... "Language" "english" } } }
// holds the value "HKEY_CURRENT_USER\Software\...\Language". Key parts are
// separated by "\" (a "/" nests the same way, as the text format reads it)
// and compared without regard to case, as registry keys are. Plain functions over text, so they can be tested and fuzzed alone;
// reading and writing the file itself is the system service's.
#pragma once

#include <string>

// Finds the string value at the key path. False for a malformed path, a
// missing key, or a key that is a section rather than a value.
bool FindRegistryValue(const char* fileText, const char* keyPath, std::string& value);

// Returns the file text with the value at the key path set, creating the
// sections on the way and keeping every other key. False (and the output
// untouched) for a malformed path or a path that runs through a value.
bool SetRegistryValue(const char* fileText, const char* keyPath, const char* value, std::string& newFileText);

// Where the registry file lives: the QUILL_UPDATER_REGISTRY environment
// variable when set, else "QuillUpdater/registry.txt" in the user's config
// folder ($XDG_CONFIG_HOME, or ~/.config). Empty when no folder is known.
std::string RegistryFilePath();
