#include "platform/PrivateModule.h"

#include <dlfcn.h>
#include <string.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace platform {

namespace {

// The file LoadModule would load first, or empty when only the system's
// search would find one.
std::string ModuleFile(const char* name) {
    std::string path = strchr(name, '/') ? std::string(name) : ExecutableDirectory() + "/" + name;
    return IsRegularFile(path.c_str()) ? path : std::string();
}

// Still mapped from an earlier load in this process.
bool IsResident(const std::string& path) {
    void* resident = dlopen(path.c_str(), RTLD_LAZY | RTLD_NOLOAD);
    if (resident) {
        dlclose(resident);
    }
    return resident != nullptr;
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
    if (!IsResident(source)) {
        return LoadModule(source.c_str());
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
    std::error_code error;
    bool copied = std::filesystem::copy_file(source, copy, error);
    if (copied) {
        module = dlopen(copy.c_str(), RTLD_NOW | RTLD_LOCAL);
    }
    // The mapping stays valid after the file is gone.
    unlink(copy.c_str());
    rmdir(folder.c_str());
    return copied ? module : LoadModule(source.c_str());
}

}  // namespace platform
