#include "platform/Registry.h"

#include <windows.h>

#include <optional>
#include <string>

#include "platform/Text.h"
#include "platform/WideText.h"

namespace platform {

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
        if (CompareNoCase(name.c_str(), entry.name) == 0) {
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
        Widen(first == last ? std::string() : path.substr(first + 1, last - first - 1));
    std::optional<std::wstring> valueName = Widen(path.substr(last + 1));
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

bool ReadRegistryString(const char* key, std::string& value) {
    std::optional<RegistryValuePath> path = ParseKey(key);
    std::wstring wide;
    if (!path || !ReadString(*path, wide)) {
        return false;
    }
    std::optional<std::string> narrow = Narrow(wide);
    if (!narrow) {
        return false;
    }
    value = *narrow;
    return true;
}

bool WriteRegistryString(const char* key, const char* value) {
    std::optional<RegistryValuePath> path = ParseKey(key);
    std::optional<std::wstring> wide = Widen(value ? value : "");
    if (!path || !wide) {
        return false;
    }
    auto bytes = static_cast<DWORD>((wide->size() + 1) * sizeof(wchar_t));
    return RegSetKeyValueW(path->hive, path->SubKey(), path->valueName.c_str(), REG_SZ, wide->c_str(),
                           bytes) == ERROR_SUCCESS;
}

}  // namespace platform
