#include "modules/updvgui2/System.h"

#include <cstring>
#include <string>

#include "platform/Registry.h"

// The system's own registry (see platform/Registry.h).

bool CSystem::GetRegistryString(const char* key, char* value, int bufferSize) {
    if (!value || bufferSize <= 0) {
        return false;
    }
    value[0] = '\0';
    std::string found;
    // A value cut to fit would be a different value (a language name that
    // names no file), so one that does not fit is refused.
    if (!platform::ReadRegistryString(key, found) || found.size() >= static_cast<std::size_t>(bufferSize)) {
        return false;
    }
    std::memcpy(value, found.c_str(), found.size() + 1);
    return true;
}

bool CSystem::SetRegistryString(const char* key, const char* value) {
    return platform::WriteRegistryString(key, value);
}
