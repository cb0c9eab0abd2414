#include "update/ProcessList.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <vector>

namespace update {

namespace {

// The kernel keeps at most 15 bytes of a process name.
constexpr std::size_t kTruncatedNameLength = 15;

bool ReadLink(const std::string& link, std::string& target) {
    std::vector<char> buffer(4096);
    ssize_t length = readlink(link.c_str(), buffer.data(), buffer.size());
    if (length <= 0 || static_cast<std::size_t>(length) >= buffer.size()) {
        return false;
    }
    target.assign(buffer.data(), static_cast<std::size_t>(length));
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
    std::ifstream comm("/proc/" + std::to_string(id) + "/comm");
    if (!std::getline(comm, name)) {
        return false;
    }
    // A cut name cannot be compared whole; the executable's own file name
    // can, when we are allowed to read it.
    std::string path;
    if (name.size() == kTruncatedNameLength && ProcessImagePath(id, path)) {
        name = path.substr(path.rfind('/') + 1);
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

bool ProcessImagePath(int processId, std::string& path) {
    return ReadLink("/proc/" + std::to_string(processId) + "/exe", path);
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

}  // namespace update
