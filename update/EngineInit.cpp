#include "update/EngineInit.h"

#include <cstdlib>

#include <nlohmann/json.hpp>

#include "platform/Platform.h"
#include "update/Manifest.h"
#include "update/MessageFormat.h"
#include "update/Publishers.h"
#include "update/Settings.h"
#include "update/Transfer.h"

namespace update {

namespace {

[[noreturn]] void FatalError(const char* text) {
    platform::ShowErrorBox("Updater", TempFormat("%s", text));
    std::exit(1);
}

}  // namespace

void EngineInit() {
    UpdateState& state = g_updateState;
    if (state.engineInitialised) {
        return;
    }
    HttpGlobalInit();
    VersionProbe();
    std::string text = ResolveManifest(kBuiltInManifestUrl);
    if (text.empty()) {
        FatalError(kFetchFailedText);
    }
    if (!ParseManifest(text, *state.manifest)) {
        FatalError(kParseFailedText);
    }
    ReadChosenBranchName();
    ParseBranches();
    // The window fills its branch list and activates the saved branch, which
    // may select another record before the version is compared.
    NotifyBranchListReady();
    if (state.selectedBranch.version != state.installedVersion) {
        state.updateAvailable.exchange(true);
    }
    state.engineInitialised = true;
}

}  // namespace update
