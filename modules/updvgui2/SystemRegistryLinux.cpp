#include "modules/updvgui2/System.h"

#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "modules/updvgui2/RegistryFile.h"

// The registry is a text file of keys here (see RegistryFile.h).

namespace {

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

}  // namespace

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
