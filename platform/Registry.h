// The system's registry, where Windows keeps the person's settings. A key
// names its hive first and its value last:
// "HKEY_CURRENT_USER\Software\Quillmere\Language" is the value "Language"
// of the key "Software\Quillmere" in the current user's hive; "/" separates
// as "\" does. Text is UTF-8 here and wide in the registry. Only Windows has
// one; elsewhere the GUI module keeps these values in a file of its own.
#pragma once

#include <string>

namespace platform {

// False for a missing value, one that is not a string, or a malformed key.
bool ReadRegistryString(const char* key, std::string& value);

// Creates the key when missing.
bool WriteRegistryString(const char* key, const char* value);

}  // namespace platform
