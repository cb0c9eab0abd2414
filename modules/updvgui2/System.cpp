#include "modules/updvgui2/System.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "modules/updvgui2/ModuleServices.h"
#include "vgui2/KeyValues.h"
#include "vgui2/TextConvert.h"

namespace {

constexpr const char* kUserConfigRootName = "UserConfigData";

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
        name += '_';
        name += std::to_string(dialogId);
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
