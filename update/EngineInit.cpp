#include "update/EngineInit.h"

#include <chrono>
#include <cstdio>
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

bool IsPending(const std::future<ManifestFetch>& fetch) { return fetch.valid(); }

bool IsFinished(const std::future<ManifestFetch>& fetch) {
    return fetch.valid() && fetch.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
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
    if (state.engineInitialised || IsPending(state.manifestFetch)) {
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
    if (IsPending(state.manifestFetch)) {
        state.manifestFetch.wait();
        CompleteEngineInit(state);
    }
}

void AbandonEngineInit() {
    UpdateState& state = g_updateState;
    if (!IsPending(state.manifestFetch)) {
        return;
    }
    CancelTransfers();
    state.manifestFetch.wait();
    std::fprintf(stderr, "%s: %s\n", kErrorCaption, kFetchFailedText);
    std::exit(1);
}

}  // namespace update
