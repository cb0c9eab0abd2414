// The manifest text through the override classification, the strict JSON
// parse and branch parsing with branch selection, twice: once with a saved
// name that is usually not in the list (the first branch is then selected
// and saved) and once with the name of the last branch read (which must
// select the first branch of that name). Every accepted branch must have a
// name, and the selected branch must be one of the list. The listing goes
// to /dev/null, the branch file into a scratch folder.
#include <limits.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include <nlohmann/json.hpp>

#include "tests/fuzz/FuzzSupport.h"
#include "tests/support/TestSupport.h"
#include "update/Manifest.h"
#include "update/Settings.h"
#include "update/UpdateState.h"

namespace {

using update::BranchRecord;
using update::g_updateState;

[[noreturn]] void Fail(const char* what) {
    std::fprintf(stderr, "fuzz_manifest: %s\n", what);
    std::abort();
}

bool SameRecord(const BranchRecord& a, const BranchRecord& b) {
    return a.name == b.name && a.downloadUrl == b.downloadUrl && a.size == b.size && a.changelog == b.changelog &&
           a.version == b.version;
}

void SelectWith(std::string savedName) {
    g_updateState.chosenBranchName = savedName;
    g_updateState.selectedBranch = {};
    update::ParseBranches();

    const auto& branches = g_updateState.branches;
    for (const BranchRecord& record : branches) {
        if (record.name.empty()) {
            Fail("a branch without a name was accepted");
        }
    }
    if (branches.empty()) {
        if (!g_updateState.selectedBranch.name.empty() || g_updateState.chosenBranchName != savedName) {
            Fail("an empty branch list changed the selection");
        }
        return;
    }
    const BranchRecord* expected = &branches.front();
    for (const BranchRecord& record : branches) {
        if (record.name == savedName) {
            expected = &record;
            break;
        }
    }
    if (!SameRecord(g_updateState.selectedBranch, *expected) ||
        g_updateState.chosenBranchName != expected->name) {
        Fail("the selected branch is not the one the saved name picks");
    }
}

// The branch file is written to the current directory; for the time of one
// input that is a scratch folder, and afterwards again the folder the
// fuzzer was started in, where it reads and writes its corpus.
class InScratchFolder {
public:
    InScratchFolder() {
        static testsupport::TempDir scratch;
        if (!getcwd(m_previous, sizeof(m_previous)) || chdir(scratch.Path().c_str()) != 0) {
            Fail("cannot enter the scratch folder");
        }
    }
    ~InScratchFolder() {
        if (chdir(m_previous) != 0) {
            Fail("cannot return from the scratch folder");
        }
    }
    InScratchFolder(const InScratchFolder&) = delete;
    InScratchFolder& operator=(const InScratchFolder&) = delete;

private:
    char m_previous[PATH_MAX];
};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzzsupport::SilenceStandardOutput();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    update::ClassifyManifestOverride(update::FirstLine(text));

    auto document = std::make_unique<nlohmann::json>();
    if (!update::ParseManifest(text, *document)) {
        return 0;
    }
    g_updateState.manifest = std::move(document);
    InScratchFolder scratch;
    SelectWith(update::kDefaultBranchName);
    if (!g_updateState.branches.empty()) {
        // A copy: branch parsing replaces the list the name lives in.
        SelectWith(std::string(g_updateState.branches.back().name));
    }
    return 0;
}
