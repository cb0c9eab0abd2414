// Prints the version that a game folder's "FileSystem_Stdio" module reports
// through its "QuillmereVersion" export, or "NONE" as the updater would.
//
//   game_version GAME_FOLDER
//
// The module is loaded by full path so that no other copy on the system's
// search path can answer in its place.
#include <cstdio>
#include <string>
#include <vector>

#include "platform/Platform.h"

int main(int argc, char** argv) {
    std::vector<std::string> arguments = platform::ProgramArguments(argc, argv);
    if (arguments.size() != 1) {
        std::fputs("usage: game_version GAME_FOLDER\n", stderr);
        return 2;
    }
    std::string path = arguments[0] + "/FileSystem_Stdio" + platform::ModuleSuffix();
    platform::ModuleHandle module = platform::LoadModule(path.c_str());
    if (!module) {
        std::puts("NONE");
        return 0;
    }
    using VersionFunction = const char* (*)();
    auto version = reinterpret_cast<VersionFunction>(platform::ModuleExport(module, "QuillmereVersion"));
    const char* text = version ? version() : nullptr;
    std::puts(text ? text : "NONE");
    platform::UnloadModule(module);
    return 0;
}
