#include "modules/updvgui2/System.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "modules/updvgui2/ModuleServices.h"
#include "modules/updvgui2/RegistryFile.h"
#include "vgui2/KeyValues.h"
#include "vgui2/TextConvert.h"

namespace {

constexpr const char* kUserConfigRootName = "UserConfigData";

bool ReadWholeFile(const std::string& path, std::string& contents) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return false;
    }
    std::ostringstream text;
    text << in.rdbuf();
    contents = text.str();
    return true;
}

// Written beside the target and renamed over it, so a crash or a full disk
// never leaves a half-written registry behind.
bool ReplaceFile(const std::string& path, const std::string& contents) {
    std::error_code error;
    std::filesystem::path target(path);
    if (target.has_parent_path()) {
        std::filesystem::create_directories(target.parent_path(), error);
    }
    std::string temporary = path + ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out) {
            return false;
        }
        out.write(contents.data(), static_cast<std::streamsize>(contents.size()));
        out.flush();
        if (!out) {
            out.close();
            std::filesystem::remove(temporary, error);
            return false;
        }
    }
    std::filesystem::rename(temporary, target, error);
    if (error) {
        std::filesystem::remove(temporary, error);
        return false;
    }
    return true;
}

// Accepts a whole decimal number that fits an int, nothing else.
bool ParseInteger(const std::string& text, int& value) {
    if (text.empty()) {
        return false;
    }
    char* end = nullptr;
    errno = 0;
    long parsed = std::strtol(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || parsed < INT_MIN || parsed > INT_MAX) {
        return false;
    }
    value = static_cast<int>(parsed);
    return true;
}

std::u16string ClipboardAsWide() {
    std::string narrow = PlatformGetClipboardText();
    std::u16string wide(narrow.size() + 1, u'\0');
    int count = vgui2::Utf8ToWide(narrow.c_str(), wide.data(), static_cast<int>(wide.size() * sizeof(vgui2::wchar)));
    wide.resize(static_cast<std::size_t>(count));
    return wide;
}

}  // namespace

CSystem::CSystem() : m_start(std::chrono::steady_clock::now()) {}

void CSystem::Shutdown() {
    SaveUserConfigFile();
    KeyValues::Destroy(m_userConfig);
    m_userConfig = nullptr;
}

void CSystem::RunFrame() { m_frameTime = GetCurrentTime(); }

void CSystem::ShellExecute(const char* command, const char* file) {
    if (command && file && *file && std::strcmp(command, "open") == 0) {
        PlatformOpenDocument(file);
    }
}

double CSystem::GetFrameTime() { return m_frameTime; }

double CSystem::GetCurrentTime() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - m_start).count();
}

long CSystem::GetTimeMillis() {
    return static_cast<long>(
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - m_start).count());
}

bool CSystem::GetRegistryString(const char* key, char* value, int bufferSize) {
    if (!value || bufferSize <= 0) {
        return false;
    }
    value[0] = '\0';
    std::string path = RegistryFilePath();
    std::string text;
    std::string found;
    if (path.empty() || !ReadWholeFile(path, text) || !FindRegistryValue(text.c_str(), key, found)) {
        return false;
    }
    // A value cut to fit would be a different value (a language name that
    // names no file), so one that does not fit is refused.
    if (found.size() >= static_cast<std::size_t>(bufferSize)) {
        return false;
    }
    std::memcpy(value, found.c_str(), found.size() + 1);
    return true;
}

bool CSystem::SetRegistryString(const char* key, const char* value) {
    std::string path = RegistryFilePath();
    if (path.empty()) {
        return false;
    }
    std::string text;
    ReadWholeFile(path, text);
    std::string updated;
    return SetRegistryValue(text.c_str(), key, value, updated) && ReplaceFile(path, updated);
}

bool CSystem::GetRegistryInteger(const char* key, int& value) {
    char text[32];
    return GetRegistryString(key, text, sizeof(text)) && ParseInteger(text, value);
}

bool CSystem::SetRegistryInteger(const char* key, int value) {
    char text[32];
    std::snprintf(text, sizeof(text), "%d", value);
    return SetRegistryString(key, text);
}

KeyValues* CSystem::GetUserConfigFileData(const char* dialogName, int dialogId) {
    if (!dialogName || !*dialogName) {
        return nullptr;
    }
    if (!m_userConfig) {
        m_userConfig = new KeyValues(kUserConfigRootName);
    }
    std::string name = dialogName;
    if (dialogId != 0) {
        name += "_" + std::to_string(dialogId);
    }
    return m_userConfig->FindKey(name.c_str(), true);
}

void CSystem::SetUserConfigFile(const char* fileName, const char* pathName) {
    m_userConfigFile = fileName ? fileName : "";
    m_userConfigPath = pathName ? pathName : "";
    KeyValues::Destroy(m_userConfig);
    m_userConfig = new KeyValues(kUserConfigRootName);
    if (!m_userConfigFile.empty()) {
        m_userConfig->LoadFromFile(ModuleFileSystem(), m_userConfigFile.c_str(),
                                   m_userConfigPath.empty() ? nullptr : m_userConfigPath.c_str());
    }
}

void CSystem::SaveUserConfigFile() {
    if (!m_userConfig || m_userConfigFile.empty() || !ModuleFileSystem()) {
        return;
    }
    m_userConfig->SaveToFile(ModuleFileSystem(), m_userConfigFile.c_str(),
                             m_userConfigPath.empty() ? nullptr : m_userConfigPath.c_str());
}

int CSystem::GetClipboardTextCount() {
    std::u16string wide = ClipboardAsWide();
    return wide.empty() ? 0 : static_cast<int>(wide.size()) + 1;
}

void CSystem::SetClipboardText(const char* text, int textLength) {
    std::size_t length = text ? std::strlen(text) : 0;
    if (textLength >= 0 && static_cast<std::size_t>(textLength) < length) {
        length = static_cast<std::size_t>(textLength);
    }
    PlatformSetClipboardText(std::string(text ? text : "", length));
}

void CSystem::SetClipboardText(const vgui2::wchar* text, int textLength) {
    std::size_t length = text ? vgui2::WideLength(text) : 0;
    if (textLength >= 0 && static_cast<std::size_t>(textLength) < length) {
        length = static_cast<std::size_t>(textLength);
    }
    std::u16string wide(text ? text : u"", length);
    // Every wide character takes at most three UTF-8 bytes (a surrogate pair,
    // two wide characters, takes four).
    std::vector<char> narrow(wide.size() * 3 + 1);
    vgui2::WideToUtf8(wide.c_str(), narrow.data(), static_cast<int>(narrow.size()));
    PlatformSetClipboardText(narrow.data());
}

int CSystem::GetClipboardText(int offset, char* buffer, int bufferSize) {
    if (!buffer || bufferSize <= 0) {
        return 0;
    }
    std::u16string wide = ClipboardAsWide();
    if (offset < 0 || static_cast<std::size_t>(offset) >= wide.size()) {
        buffer[0] = '\0';
        return 0;
    }
    return vgui2::WideToUtf8(wide.c_str() + offset, buffer, bufferSize);
}

int CSystem::GetClipboardText(int offset, vgui2::wchar* buffer, int bufferSize) {
    if (!buffer || bufferSize < static_cast<int>(sizeof(vgui2::wchar))) {
        return 0;
    }
    std::u16string wide = ClipboardAsWide();
    int capacity = bufferSize / static_cast<int>(sizeof(vgui2::wchar)) - 1;
    if (offset < 0 || static_cast<std::size_t>(offset) >= wide.size()) {
        buffer[0] = u'\0';
        return 0;
    }
    int count = static_cast<int>(wide.size()) - offset;
    if (count > capacity) {
        count = capacity;
        // Never end on the first half of a surrogate pair.
        if (count > 0 && wide[static_cast<std::size_t>(offset + count - 1)] >= 0xD800 &&
            wide[static_cast<std::size_t>(offset + count - 1)] <= 0xDBFF) {
            --count;
        }
    }
    std::memcpy(buffer, wide.c_str() + offset, static_cast<std::size_t>(count) * sizeof(vgui2::wchar));
    buffer[count] = u'\0';
    return count;
}

vgui2::ISystem& TheSystem() {
    static CSystem instance;
    return instance;
}
