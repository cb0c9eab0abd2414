#include "update/EngineInit.h"

#include <cstdint>
#include <future>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "platform/Platform.h"
#include "update/EngineReports.h"
#include "update/Manifest.h"
#include "update/Publishers.h"
#include "update/Settings.h"
#include "update/SignedManifest.h"
#include "update/Transfer.h"
#include "update/UnixTime.h"

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
    // The signature speaks for the bytes as they arrived, so it is checked
    // before anything is read from them.
    std::optional<std::int64_t> signedAt;
    if (fetch.keyFileText) {
        signedAt = VerifiedSigningTime(*fetch.keyFileText, fetch.signatureText, fetch.text);
        if (!signedAt) {
            state.engineInitFailure = kVerifyFailedText;
            return;
        }
    }
    if (!ParseManifest(fetch.text, *state.manifest)) {
        state.engineInitFailure = kParseFailedText;
        return;
    }
    if (signedAt && !AcceptSignedManifest(*state.manifest, *signedAt, UnixNow())) {
        state.engineInitFailure = kVerifyFailedText;
        return;
    }
    state.archiveHashRequired = signedAt.has_value();
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

void BeginEngineInit() { BeginEngineInit(platform::ExecutableDirectory()); }

void BeginEngineInit(const std::string& keyFolder) {
    UpdateState& state = g_updateState;
    if (state.engineInitialised || state.engineInitFailure || state.manifestFetch.valid()) {
        return;
    }
    HttpGlobalInit();
    VersionProbe();
    state.manifestFetch = std::async(std::launch::async, [keyFolder] {
        ManifestFetch fetch;
        std::string url;
        fetch.text = ResolveManifest(kBuiltInManifestUrl, &fetch.failureTexts, &url);
        fetch.keyFileText = ReadPublisherKeyFile(keyFolder);
        if (fetch.keyFileText && !fetch.text.empty()) {
            // Its failure is told as the verification's, not as a box of
            // its own.
            std::string ignoredFailure;
            fetch.signatureText = DownloadString((url + kSignatureSuffix).c_str(), &ignoredFailure);
        }
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

EngineInitResult EngineInit() { return EngineInit(platform::ExecutableDirectory()); }

EngineInitResult EngineInit(const std::string& keyFolder) {
    BeginEngineInit(keyFolder);
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
