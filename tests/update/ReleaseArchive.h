// A small release archive for the engine tests that run a whole update: a
// folder, a file in it and a file at the top.
#pragma once

#include <zip.h>

#include <string>

#include "tests/support/TestSupport.h"

namespace enginetest {

// The archive's bytes; it is built in the given folder.
inline std::string ReleaseArchive(const testsupport::TempDir& work) {
    std::string path = work.File("release-src.zip");
    int error = 0;
    zip_t* archive = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    static const char kConfig[] = "sv_cheats 0";
    static const char kMap[] = "new map";
    zip_dir_add(archive, "maps/", 0);
    zip_file_add(archive, "maps/new.bsp", zip_source_buffer(archive, kMap, sizeof(kMap) - 1, 0), 0);
    zip_file_add(archive, "game.cfg", zip_source_buffer(archive, kConfig, sizeof(kConfig) - 1, 0), 0);
    zip_close(archive);
    return testsupport::ReadFile(path);
}

}  // namespace enginetest
