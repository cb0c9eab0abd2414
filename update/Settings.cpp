#include "update/Settings.h"

#include <cstdio>
#include <cstring>

#include "platform/Files.h"
#include "platform/Platform.h"
#include "platform/PrivateModule.h"
#include "platform/Text.h"
#include "update/UnixTime.h"
#include "update/UpdateState.h"

namespace update {

namespace {

// Only the first 1023 bytes of the override's first line count.
constexpr int kOverrideLineBuffer = 1024;
// A branch name is a short word; a branch file is not read beyond this,
// whatever it holds.
constexpr std::size_t kBranchLineLimit = 4096;

// A decimal count of seconds, an optional line end after it, nothing else.
constexpr std::size_t kSeenFileLimit = 32;

using VersionExportFn = const char* (*)();

// A private copy: after an update the module on disk is a new file, while a
// game module the system cannot unload is still mapped from the last probe.
platform::ModuleHandle LoadGameModule(const char* moduleName) {
    return platform::LoadModuleOrSuffixed(moduleName, platform::LoadModuleCopy);
}

}  // namespace

bool HasHttpPrefix(std::string_view text) {
    return (text.size() >= 7 && platform::CompareNoCaseN(text.data(), "http://", 7) == 0) ||
           (text.size() >= 8 && platform::CompareNoCaseN(text.data(), "https://", 8) == 0);
}

std::string_view FirstLine(std::string_view text) { return text.substr(0, text.find_first_of("\r\n")); }

ManifestOverride ClassifyManifestOverride(std::string_view firstLine) {
    firstLine = FirstLine(firstLine);
    if (!HasHttpPrefix(firstLine)) {
        return {};
    }
    std::size_t json = firstLine.find(".json");
    bool direct = false;
    if (json != std::string_view::npos) {
        std::size_t after = json + 5;
        direct = after == firstLine.size() || firstLine[after] == '#' || firstLine[after] == '?';
    }
    return {direct ? ManifestOverrideClass::DirectUrl : ManifestOverrideClass::PointerUrl, std::string(firstLine)};
}

ManifestOverride ReadManifestOverride() {
    std::FILE* file = platform::OpenFile(kManifestOverrideFile, "r");
    if (!file) {
        return {};
    }
    char line[kOverrideLineBuffer] = {};
    bool read = std::fgets(line, sizeof(line), file) != nullptr;
    std::fclose(file);
    if (!read) {
        return {};
    }
    // A NUL inside the line ends the text, as it would for any C string.
    return ClassifyManifestOverride(std::string_view(line, std::strlen(line)));
}

void ReadChosenBranchName() {
    UpdateState& state = g_updateState;
    if (std::FILE* file = platform::OpenFile(kBranchFile, "r")) {
        std::string name;
        int c;
        bool lineFeed = false;
        while (name.size() < kBranchLineLimit && (c = std::fgetc(file)) != EOF) {
            if (c == '\n') {
                lineFeed = true;
                break;
            }
            name.push_back(static_cast<char>(c));
        }
        std::fclose(file);
        // The file is text: a carriage return belongs to the line end only
        // when a line feed follows it.
        if (lineFeed && !name.empty() && name.back() == '\r') {
            name.pop_back();
        }
        state.chosenBranchName = name;
    }
    if (state.chosenBranchName.empty()) {
        state.chosenBranchName = kDefaultBranchName;
    }
}

void SaveBranch() {
    std::FILE* file = platform::OpenFile(kBranchFile, "w");
    if (!file) {
        return;
    }
    const std::string& name = g_updateState.chosenBranchName;
    std::fwrite(name.data(), 1, name.size(), file);
    std::fclose(file);
}

std::optional<std::int64_t> ReadSeenTimestamp() {
    std::FILE* file = platform::OpenFile(kSeenFile, "rb");
    if (!file) {
        return std::nullopt;
    }
    char text[kSeenFileLimit];
    std::size_t size = std::fread(text, 1, sizeof(text), file);
    std::fclose(file);
    std::string_view digits(text, size);
    if (!digits.empty() && digits.back() == '\n') {
        digits.remove_suffix(1);
        if (!digits.empty() && digits.back() == '\r') {
            digits.remove_suffix(1);
        }
    }
    return ParseUnixSeconds(digits);
}

bool SaveSeenTimestamp(std::int64_t seconds) {
    return platform::ReplaceFileContents(".", kSeenFile, std::to_string(seconds) + "\n");
}

void ProbeInstalledVersion(const char* moduleName, char* version, int versionSize) {
    std::snprintf(version, static_cast<std::size_t>(versionSize), "%s", kNoVersion);
    platform::ModuleHandle module = LoadGameModule(moduleName);
    if (!module) {
        return;
    }
    auto versionExport = reinterpret_cast<VersionExportFn>(platform::ModuleExport(module, kVersionExportName));
    if (versionExport) {
        // The text lives in the module, so it is copied before unloading.
        if (const char* text = versionExport()) {
            std::snprintf(version, static_cast<std::size_t>(versionSize), "%s", text);
        }
    }
    platform::UnloadModule(module);
}

void VersionProbe() {
    ProbeInstalledVersion(kGameModuleName, g_updateState.installedVersion, kInstalledVersionSize);
}

}  // namespace update
