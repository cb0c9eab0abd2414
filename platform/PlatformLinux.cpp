#include "platform/Platform.h"

#include <dlfcn.h>
#include <errno.h>
#include <stdio.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace platform {

ModuleHandle LoadModule(const char* name) {
    if (!name || !*name) {
        return nullptr;
    }
    if (!strchr(name, '/')) {
        std::string local = ExecutableDirectory() + "/" + name;
        if (IsRegularFile(local.c_str())) {
            if (void* handle = dlopen(local.c_str(), RTLD_NOW | RTLD_LOCAL)) {
                return handle;
            }
        }
    }
    return dlopen(name, RTLD_NOW | RTLD_LOCAL);
}

void* ModuleExport(ModuleHandle module, const char* exportName) {
    return module ? dlsym(module, exportName) : nullptr;
}

void UnloadModule(ModuleHandle module) {
    if (module) {
        dlclose(module);
    }
}

const char* ModuleSuffix() { return ".so"; }

std::vector<std::string> ProgramArguments(int argc, char** argv) {
    return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
}

std::string ExecutableDirectory() {
    char path[4096];
    ssize_t length = readlink("/proc/self/exe", path, sizeof(path) - 1);
    if (length <= 0) {
        return ".";
    }
    path[length] = '\0';
    char* slash = strrchr(path, '/');
    if (!slash) {
        return ".";
    }
    if (slash == path) {
        return "/";
    }
    *slash = '\0';
    return path;
}

bool MakeDirectory(const char* path) {
    if (mkdir(path, 0755) == 0) {
        return true;
    }
    struct stat info {};
    return errno == EEXIST && stat(path, &info) == 0 && S_ISDIR(info.st_mode);
}

const char* FontFolder() { return "/usr/share/fonts/truetype/dejavu/"; }

std::string CurrentDirectory() {
    std::string buffer(256, '\0');
    for (;;) {
        if (getcwd(buffer.data(), buffer.size())) {
            buffer.resize(strlen(buffer.c_str()));
            return buffer;
        }
        if (errno != ERANGE) {
            return std::string();
        }
        buffer.resize(buffer.size() * 2);
    }
}

bool IsRegularFile(const char* path) {
    struct stat info {};
    return stat(path, &info) == 0 && S_ISREG(info.st_mode);
}

std::FILE* OpenFile(const char* path, const char* mode) { return std::fopen(path, mode); }

bool RemoveFile(const char* path) { return unlink(path) == 0 || errno == ENOENT; }

bool MoveFileReplacing(const char* from, const char* to) { return rename(from, to) == 0; }

bool MakeDirectories(const char* path) {
    std::string partial(path);
    // Every separator after the first character ends a folder to make.
    for (std::size_t slash = partial.find('/', 1); slash != std::string::npos; slash = partial.find('/', slash + 1)) {
        partial[slash] = '\0';
        bool made = MakeDirectory(partial.c_str());
        partial[slash] = '/';
        if (!made) {
            return false;
        }
    }
    return MakeDirectory(path);
}

std::uint64_t OpenFileSize(std::FILE* file) {
    struct stat info {};
    if (!file || fstat(fileno(file), &info) != 0) {
        return 0;
    }
    return static_cast<std::uint64_t>(info.st_size);
}

}  // namespace platform
