#include "modules/updvgui2/System.h"

#include <windows.h>

#include <cstring>
#include <optional>
#include <string>

#include "platform/Text.h"
#include "platform/WideText.h"

// The system's own registry. A key names its hive first and its value last:
// "HKEY_CURRENT_USER\Software\Quillmere\Language" is the value "Language"
// of the key "Software\Quillmere" in the current user's hive. "/" separates
// as "\" does, as in the registry file used elsewhere.

namespace {

struct RegistryValuePath {
    HKEY hive = nullptr;
    std::wstring subKey;
    std::wstring valueName;

    const wchar_t* SubKey() const { return subKey.empty() ? nullptr : subKey.c_str(); }
};

HKEY HiveNamed(const std::string& name) {
    static const struct {
        const char* name;
        HKEY hive;
    } kHives[] = {{"HKEY_CURRENT_USER", HKEY_CURRENT_USER},
                  {"HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE},
                  {"HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT},
                  {"HKEY_USERS", HKEY_USERS}};
    for (const auto& entry : kHives) {
        if (platform::CompareNoCase(name.c_str(), entry.name) == 0) {
            return entry.hive;
        }
    }
    return nullptr;
}

// Empty for a key without a known hive or a value name, or not in UTF-8.
// A value right below the hive has no key between.
std::optional<RegistryValuePath> ParseKey(const char* key) {
    if (!key) {
        return std::nullopt;
    }
    std::string path(key);
    for (char& c : path) {
        if (c == '/') {
            c = '\\';
        }
    }
    std::size_t first = path.find('\\');
    std::size_t last = path.rfind('\\');
    if (first == std::string::npos || last + 1 == path.size()) {
        return std::nullopt;
    }
    RegistryValuePath parsed;
    parsed.hive = HiveNamed(path.substr(0, first));
    std::optional<std::wstring> subKey =
        platform::Widen(first == last ? std::string() : path.substr(first + 1, last - first - 1));
    std::optional<std::wstring> valueName = platform::Widen(path.substr(last + 1));
    if (!parsed.hive || !subKey || !valueName) {
        return std::nullopt;
    }
    parsed.subKey = *subKey;
    parsed.valueName = *valueName;
    return parsed;
}

bool ReadString(const RegistryValuePath& path, std::wstring& value) {
    // The value may grow between asking its size and reading it.
    for (int attempt = 0; attempt < 3; ++attempt) {
        DWORD bytes = 0;
        LSTATUS status = RegGetValueW(path.hive, path.SubKey(), path.valueName.c_str(), RRF_RT_REG_SZ,
                                      nullptr, nullptr, &bytes);
        if (status != ERROR_SUCCESS) {
            return false;
        }
        std::wstring buffer(bytes / sizeof(wchar_t) + 1, L'\0');
        bytes = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
        status = RegGetValueW(path.hive, path.SubKey(), path.valueName.c_str(), RRF_RT_REG_SZ, nullptr,
                              buffer.data(), &bytes);
        if (status == ERROR_SUCCESS) {
            // The size counts the terminator RegGetValueW guarantees.
            buffer.resize(bytes / sizeof(wchar_t));
            while (!buffer.empty() && buffer.back() == L'\0') {
                buffer.pop_back();
            }
            value = buffer;
            return true;
        }
        if (status != ERROR_MORE_DATA) {
            return false;
        }
    }
    return false;
}

}  // namespace

bool CSystem::GetRegistryString(const char* key, char* value, int bufferSize) {
    if (!value || bufferSize <= 0) {
        return false;
    }
    value[0] = '\0';
    std::optional<RegistryValuePath> path = ParseKey(key);
    std::wstring wide;
    if (!path || !ReadString(*path, wide)) {
        return false;
    }
    std::optional<std::string> found = platform::Narrow(wide);
    // A value cut to fit would be a different value (a language name that
    // names no file), so one that does not fit is refused.
    if (!found || found->size() >= static_cast<std::size_t>(bufferSize)) {
        return false;
    }
    std::memcpy(value, found->c_str(), found->size() + 1);
    return true;
}

bool CSystem::SetRegistryString(const char* key, const char* value) {
    std::optional<RegistryValuePath> path = ParseKey(key);
    std::optional<std::wstring> wide = platform::Widen(value ? value : "");
    if (!path || !wide) {
        return false;
    }
    auto bytes = static_cast<DWORD>((wide->size() + 1) * sizeof(wchar_t));
    return RegSetKeyValueW(path->hive, path->SubKey(), path->valueName.c_str(), REG_SZ, wide->c_str(),
                           bytes) == ERROR_SUCCESS;
}
