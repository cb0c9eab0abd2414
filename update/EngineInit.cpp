#include "update/EngineInit.h"

#include <future>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "update/EngineReports.h"
#include "update/Manifest.h"
#include "update/Publishers.h"
#include "update/Settings.h"
#include "update/Transfer.h"

namespace update {

namespace {

void CompleteEngineInit(UpdateState& state) {
    ManifestFetch fetch = state.manifestFetch.get();
    // The boxes a failed request would have shown at once are shown now, in
    // order, on the thread that may show them.
    for (const std::string& failure : fetch.failureTexts) {
        ReportBox(failure.c_str());
    }
    if (fetch.text.empty()) {
        state.engineInitFailure = kFetchFailedText;
        return;
    }
    if (!ParseManifest(fetch.text, *state.manifest)) {
        state.engineInitFailure = kParseFailedText;
        return;
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
    if (state.engineInitialised || state.engineInitFailure || state.manifestFetch.valid()) {
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

EngineInitResult EngineInitOutcome() {
    const UpdateState& state = g_updateState;
    if (state.engineInitFailure) {
        return {EngineInitStatus::Failed, state.engineInitFailure};
    }
    return {state.engineInitialised ? EngineInitStatus::Ready : EngineInitStatus::Pending, nullptr};
}

EngineInitResult PollEngineInit() {
    UpdateState& state = g_updateState;
    if (IsFinished(state.manifestFetch)) {
        CompleteEngineInit(state);
    }
    return EngineInitOutcome();
}

EngineInitResult EngineInit() {
    BeginEngineInit();
    UpdateState& state = g_updateState;
    if (state.manifestFetch.valid()) {
        state.manifestFetch.wait();
        CompleteEngineInit(state);
    }
    return EngineInitOutcome();
}

bool AbandonEngineInit() {
    UpdateState& state = g_updateState;
    if (!state.manifestFetch.valid()) {
        return false;
    }
    CancelTransfers();
    state.manifestFetch.wait();
    return true;
}

}  // namespace update
