#include "platform/PrivateModule.h"

#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <string>

namespace platform {

namespace {

bool IsRegularFile(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

// The file LoadModule would load first, or empty when only the system's
// search would find one.
std::string ModuleFile(const char* name) {
    std::string path = strchr(name, '/') ? std::string(name) : ExecutableDirectory() + "/" + name;
    return IsRegularFile(path) ? path : std::string();
}

bool WriteAll(int fd, const char* data, ssize_t length) {
    while (length > 0) {
        ssize_t written = write(fd, data, static_cast<std::size_t>(length));
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        data += written;
        length -= written;
    }
    return true;
}

bool CopyFile(const std::string& from, const std::string& to) {
    int in = open(from.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) {
        return false;
    }
    int out = open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0700);
    bool copied = out >= 0;
    char buffer[1 << 16];
    while (copied) {
        ssize_t length = read(in, buffer, sizeof(buffer));
        if (length < 0 && errno == EINTR) {
            continue;
        }
        if (length <= 0) {
            copied = length == 0;
            break;
        }
        copied = WriteAll(out, buffer, length);
    }
    close(in);
    if (out >= 0 && close(out) != 0) {
        copied = false;
    }
    return copied;
}

std::string TemporaryFolderPattern() {
    const char* base = std::getenv("TMPDIR");
    return std::string(base && *base ? base : "/tmp") + "/qlm-module-XXXXXX";
}

}  // namespace

ModuleHandle LoadModuleCopy(const char* name) {
    if (!name || !*name) {
        return nullptr;
    }
    std::string source = ModuleFile(name);
    if (source.empty()) {
        return strchr(name, '/') ? nullptr : LoadModule(name);
    }
    std::string folder = TemporaryFolderPattern();
    if (!mkdtemp(folder.data())) {
        return LoadModule(source.c_str());
    }
    // The loader knows a library by its path; a counter keeps the path new
    // even if the system hands out a folder name it has handed out before.
    static std::atomic<unsigned> s_copies{0};
    std::string copy = folder + "/" + std::to_string(s_copies++) + "-" + source.substr(source.rfind('/') + 1);
    ModuleHandle module = nullptr;
    bool copied = CopyFile(source, copy);
    if (copied) {
        module = dlopen(copy.c_str(), RTLD_NOW | RTLD_LOCAL);
    }
    // The mapping stays valid after the file is gone.
    unlink(copy.c_str());
    rmdir(folder.c_str());
    return copied ? module : LoadModule(source.c_str());
}

}  // namespace platform
