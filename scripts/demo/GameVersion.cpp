// Prints the version that a game folder's "FileSystem_Stdio.so" reports
// through its "QuillmereVersion" export, or "NONE" as the updater would.
//
//   game_version GAME_FOLDER
//
// The module is loaded by full path so that no other copy on the system's
// search path can answer in its place.
#include <dlfcn.h>

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s GAME_FOLDER\n", argv[0]);
        return 2;
    }
    std::string path = std::string(argv[1]) + "/FileSystem_Stdio.so";
    void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!module) {
        std::puts("NONE");
        return 0;
    }
    using VersionFunction = const char* (*)();
    auto version = reinterpret_cast<VersionFunction>(dlsym(module, "QuillmereVersion"));
    const char* text = version ? version() : nullptr;
    std::puts(text ? text : "NONE");
    dlclose(module);
    return 0;
}
