#include "update/EngineInit.h"

#include <cstdlib>
#include <future>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "platform/Platform.h"
#include "update/Manifest.h"
#include "update/MessageFormat.h"
#include "update/Publishers.h"
#include "update/Settings.h"
#include "update/Transfer.h"

namespace update {

namespace {

constexpr const char* kErrorCaption = "Updater";

[[noreturn]] void FatalError(const char* text) {
    platform::ShowErrorBox(kErrorCaption, TempFormat("%s", text));
    std::exit(1);
}

void CompleteEngineInit(UpdateState& state) {
    ManifestFetch fetch = state.manifestFetch.get();
    // The boxes a failed request would have shown at once are shown now, in
    // order, on the thread that may show them.
    for (const std::string& failure : fetch.failureTexts) {
        platform::ShowErrorBox(kErrorCaption, failure.c_str());
    }
    if (fetch.text.empty()) {
        FatalError(kFetchFailedText);
    }
    if (!ParseManifest(fetch.text, *state.manifest)) {
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

}  // namespace

void BeginEngineInit() {
    UpdateState& state = g_updateState;
    if (state.engineInitialised || state.manifestFetch.valid()) {
        return;
    }
    HttpGlobalInit();
    VersionProbe();
    state.manifestFetch = std::async(std::launch::async, [] {
        ManifestFetch fetch;
        fetch.text = ResolveManifest(kBuiltInManifestUrl, &fetch.failureTexts);
        return fetch;
    });
}

bool PollEngineInit() {
    UpdateState& state = g_updateState;
    if (IsFinished(state.manifestFetch)) {
        CompleteEngineInit(state);
    }
    return state.engineInitialised;
}

void EngineInit() {
    BeginEngineInit();
    UpdateState& state = g_updateState;
    if (state.manifestFetch.valid()) {
        state.manifestFetch.wait();
        CompleteEngineInit(state);
    }
}

void AbandonEngineInit() {
    UpdateState& state = g_updateState;
    if (!state.manifestFetch.valid()) {
        return;
    }
    CancelTransfers();
    state.manifestFetch.wait();
    platform::WriteErrorLine(kErrorCaption, kFetchFailedText);
    std::exit(1);
}

}  // namespace update
