// The input as a release archive, unpacked by the engine into a fresh game
// folder that sits several folders deep inside a scratch folder. Whatever
// the archive holds, nothing may appear in the scratch folder outside the
// game folder (a member that climbs out would land there), no temporary
// file may be left behind, and an unpacking that reports success must have
// written every member it names. The game folder is removed after each
// input.
#include <unistd.h>
#include <zip.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>

#include "tests/support/TestSupport.h"
#include "update/Extraction.h"

namespace {

namespace fs = std::filesystem;

// Deep enough that a member climbing out by a few levels still lands
// inside the scratch folder, where it can be seen.
constexpr const char* kGameFolderPath = "a/b/c/d/e/f/g/h/game";

testsupport::TempDir* g_scratch = nullptr;

[[noreturn]] void Fail(const char* what, const std::string& detail) {
    std::fprintf(stderr, "fuzz_zip: %s: %s\n", what, detail.c_str());
    std::abort();
}

std::string ArchivePath() { return g_scratch->File("release.zip"); }
std::string GameFolder() { return g_scratch->File(kGameFolderPath); }

bool IsInsideGameFolder(const std::string& relative) {
    std::string game = kGameFolderPath;
    return relative.compare(0, game.size() + 1, game + "/") == 0;
}

bool IsOnTheWayToGameFolder(const std::string& relative) {
    std::string game = kGameFolderPath;
    return game.compare(0, relative.size(), relative) == 0 &&
           (relative.size() == game.size() || game[relative.size()] == '/');
}

// The archive's members as paths below the game folder, "/" between parts;
// empty when the archive does not open.
std::set<std::string> MemberPaths() {
    std::set<std::string> paths;
    int error = 0;
    zip_t* archive = zip_open(ArchivePath().c_str(), ZIP_RDONLY, &error);
    if (!archive) {
        return paths;
    }
    zip_int64_t count = zip_get_num_entries(archive, 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        if (const char* name = zip_get_name(archive, static_cast<zip_uint64_t>(i), 0)) {
            std::string path = name;
            std::replace(path.begin(), path.end(), '\\', '/');
            paths.insert(path);
        }
    }
    zip_discard(archive);
    return paths;
}

// The engine's temporary files are ".upd-<process>-<number>"; a member may
// carry such a name itself, and is then no leftover.
bool IsLeftoverTemporary(const fs::path& path, const std::set<std::string>& members) {
    std::string prefix = ".upd-" + std::to_string(getpid()) + "-";
    std::string name = path.filename().string();
    if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0 ||
        name.find_first_not_of("0123456789", prefix.size()) != std::string::npos) {
        return false;
    }
    return members.count(fs::relative(path, GameFolder()).string()) == 0;
}

void CheckNothingOutside(const std::set<std::string>& members) {
    for (const auto& entry : fs::recursive_directory_iterator(g_scratch->Path())) {
        std::string relative = fs::relative(entry.path(), g_scratch->Path()).string();
        if (relative != "release.zip" && !IsOnTheWayToGameFolder(relative) && !IsInsideGameFolder(relative)) {
            Fail("written outside the game folder", relative);
        }
        if (IsLeftoverTemporary(entry.path(), members)) {
            Fail("temporary file left behind", relative);
        }
    }
}

// Every member of an archive whose unpacking succeeded is on disk.
void CheckEveryMemberWritten(const std::set<std::string>& members) {
    for (const std::string& member : members) {
        if (!testsupport::PathExists(GameFolder() + "/" + member)) {
            Fail("success reported for a member that was not written", member);
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // Every input creates and removes a folder tree; in memory that costs a
    // fraction of what a journalling disk does.
    if (access("/dev/shm", W_OK | X_OK) == 0) {
        setenv("TMPDIR", "/dev/shm", 1);
    }
    static testsupport::TempDir scratch;
    g_scratch = &scratch;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    testsupport::WriteFile(ArchivePath(), std::string(reinterpret_cast<const char*>(data), size));
    fs::create_directories(GameFolder());

    bool unpacked = update::UnpackArchive(ArchivePath().c_str(), GameFolder().c_str());
    std::set<std::string> members = MemberPaths();
    CheckNothingOutside(members);
    if (unpacked) {
        CheckEveryMemberWritten(members);
    }

    fs::remove_all(g_scratch->File("a"));
    return 0;
}
