#include "platform/Process.h"

#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace platform {

namespace {

// The kernel keeps at most 15 bytes of a process name.
constexpr std::size_t kTruncatedNameLength = 15;

std::string ProcFile(int id, const char* entry) { return "/proc/" + std::to_string(id) + "/" + entry; }

bool ReadLink(const std::string& link, std::string& target) {
    std::vector<char> buffer(PATH_MAX);
    ssize_t length = readlink(link.c_str(), buffer.data(), buffer.size());
    if (length <= 0 || static_cast<std::size_t>(length) >= buffer.size()) {
        return false;
    }
    target.assign(buffer.data(), static_cast<std::size_t>(length));
    return true;
}

bool ReadWhole(const std::string& path, std::string& content) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        return false;
    }
    content.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    return true;
}

bool ReadComm(int id, std::string& name) {
    std::ifstream comm(ProcFile(id, "comm"));
    return static_cast<bool>(std::getline(comm, name));
}

std::string BaseName(const std::string& path) { return path.substr(path.rfind('/') + 1); }

// The value of one variable in a NUL-separated environment block.
std::string EnvironmentValue(const std::string& block, const std::string& variable) {
    std::string prefix = variable + "=";
    for (std::size_t start = 0; start < block.size();) {
        std::size_t end = block.find('\0', start);
        if (end == std::string::npos) {
            end = block.size();
        }
        if (block.compare(start, prefix.size(), prefix) == 0) {
            return block.substr(start + prefix.size(), end - start - prefix.size());
        }
        start = end + 1;
    }
    return std::string();
}

// The layer's prefix of that process: its WINEPREFIX, else ~/.wine of its
// own HOME.
std::string WinePrefixOf(int id) {
    std::string environment;
    if (!ReadWhole(ProcFile(id, "environ"), environment)) {
        return std::string();
    }
    std::string prefix = EnvironmentValue(environment, "WINEPREFIX");
    if (!prefix.empty()) {
        return prefix;
    }
    std::string home = EnvironmentValue(environment, "HOME");
    return home.empty() ? std::string() : home + "/.wine";
}

// Where a drive letter of the process's prefix leads; the prefix's own
// defaults when its dosdevices entry is missing.
bool DriveRoot(int id, char letter, std::string& root) {
    letter = static_cast<char>(std::tolower(static_cast<unsigned char>(letter)));
    std::string prefix = WinePrefixOf(id);
    if (!prefix.empty()) {
        std::string device = prefix + "/dosdevices/" + letter + ":";
        if (char* resolved = realpath(device.c_str(), nullptr)) {
            root = resolved;
            free(resolved);
            return true;
        }
    }
    if (letter == 'z') {
        root = "/";
        return true;
    }
    if (letter == 'c' && !prefix.empty()) {
        root = prefix + "/drive_c";
        return true;
    }
    return false;
}

// The game's path from the first word of its command line, in Windows form
// ("Z:\..." through the prefix's drives), Unix form or relative to the
// process's working folder.
bool PathFromCommandLine(int id, std::string& path) {
    std::string commandLine;
    if (!ReadWhole(ProcFile(id, "cmdline"), commandLine)) {
        return false;
    }
    std::string program = commandLine.substr(0, commandLine.find('\0'));
    if (program.empty()) {
        return false;
    }
    bool windowsDrive = program.size() >= 2 && std::isalpha(static_cast<unsigned char>(program[0])) &&
                        program[1] == ':';
    std::replace(program.begin(), program.end(), '\\', '/');
    std::filesystem::path joined;
    if (windowsDrive) {
        std::string root;
        if (!DriveRoot(id, program[0], root)) {
            return false;
        }
        joined = std::filesystem::path(root) / std::filesystem::path(program.substr(2)).relative_path();
    } else if (program[0] == '/') {
        joined = program;
    } else {
        std::string workingFolder;
        if (!ReadLink(ProcFile(id, "cwd"), workingFolder)) {
            return false;
        }
        joined = std::filesystem::path(workingFolder) / program;
    }
    std::error_code error;
    std::filesystem::path canonical = std::filesystem::weakly_canonical(joined, error);
    path = (error ? joined.lexically_normal() : canonical).string();
    return true;
}

std::vector<int> ProcessIds(DIR* proc) {
    std::vector<int> ids;
    while (dirent* entry = readdir(proc)) {
        char* end = nullptr;
        long id = std::strtol(entry->d_name, &end, 10);
        if (end != entry->d_name && *end == '\0' && id > 0) {
            ids.push_back(static_cast<int>(id));
        }
    }
    std::sort(ids.begin(), ids.end());
    return ids;
}

bool ProcessName(int id, std::string& name) {
    if (!ReadComm(id, name)) {
        return false;
    }
    // A cut name cannot be compared whole; the file's own name can, when we
    // are allowed to find it.
    ProcessImage image;
    if (name.size() == kTruncatedNameLength && ProcessImageOf(id, image)) {
        name = BaseName(image.path);
    }
    return true;
}

}  // namespace

bool ForEachProcess(const std::function<bool(const ProcessEntry&)>& visitor) {
    DIR* proc = opendir("/proc");
    if (!proc) {
        return false;
    }
    std::vector<int> ids = ProcessIds(proc);
    closedir(proc);
    for (int id : ids) {
        ProcessEntry entry;
        entry.id = id;
        // A process that ended since the listing is simply skipped.
        if (ProcessName(id, entry.name) && !visitor(entry)) {
            break;
        }
    }
    return true;
}

bool ProcessImageOf(int processId, ProcessImage& image) {
    std::string executable, name;
    if (!ReadLink(ProcFile(processId, "exe"), executable) || !ReadComm(processId, name)) {
        return false;
    }
    // A native program's name is its file's name (cut to 15 bytes); a
    // compatibility layer runs its own loader under the game's name.
    if (BaseName(executable).compare(0, kTruncatedNameLength, name) == 0) {
        image = {executable, false};
        return true;
    }
    image.underCompatibilityLayer = true;
    return PathFromCommandLine(processId, image.path);
}

bool CanOpenForWriting(const std::string& path) {
    int fd = open(path.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    close(fd);
    return true;
}

std::string OwnExecutablePath() {
    std::string path;
    return ReadLink("/proc/self/exe", path) ? path : std::string();
}

}  // namespace platform
