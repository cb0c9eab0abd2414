#include "update/UpdateJob.h"

#include "update/Extraction.h"
#include "update/GameGuard.h"
#include "update/Publishers.h"
#include "update/Settings.h"
#include "update/Transfer.h"

namespace update {

namespace {

bool IsRunning(const std::future<bool>& result) { return result.valid() && !IsFinished(result); }

// The jobs take copies of what they read, made here on the GUI thread, so a
// branch change while a job runs cannot reach a worker half-written.
std::future<bool> LaunchDownloadJob(const UpdateState& state) {
    return std::async(std::launch::async,
                      [url = state.selectedBranch.downloadUrl, file = state.archiveFileName,
                       shown = state.archiveDisplayName, size = static_cast<std::uint32_t>(state.selectedBranch.size),
                       sha256 = state.selectedBranch.sha256] {
                          return DownloadFile(url.c_str(), file.c_str(), size, shown.c_str(), sha256.c_str());
                      });
}

// A hash that cannot be checked must not pass as no hash at all, and a
// manifest verified with the publisher's key must pin what it offers.
bool ArchiveHashUsable(const UpdateState& state) {
    const std::string& sha256 = state.selectedBranch.sha256;
    return sha256.empty() ? !state.archiveHashRequired : IsArchiveHash(sha256);
}

std::future<bool> LaunchExtractionJob(const UpdateState& state) {
    return std::async(std::launch::async, [file = state.archiveFileName] { return ExtractArchive(file); });
}

void CompleteUpdate(UpdateState& state) {
    PublishStatus("#Updater_Success", false, 1.0f);
    SaveBranch();
    VersionProbe();
    NotifyInstalledVersionChanged();
    state.statusShown = false;
    RemoveDownloadedFile(state.archiveFileName);
}

}  // namespace

std::string ArchiveFileNameOf(const std::string& downloadUrl) {
    std::size_t slash = downloadUrl.rfind('/');
    return slash == std::string::npos ? downloadUrl : downloadUrl.substr(slash + 1);
}

void StartUpdate() {
    UpdateState& state = g_updateState;
    bool differs = state.selectedBranch.version != state.installedVersion;
    if (differs) {
        state.updateAvailable.exchange(true);
    }
    if (!state.updateAvailable.load() || !differs || GameProcessGuard()) {
        PublishStatus("#Updater_P1", false, 1.0f);
        return;
    }
    if (!ArchiveHashUsable(state)) {
        PublishStatus("#Updater_FailedVerify", true, 1.0f);
        return;
    }
    state.archiveFileName = kDownloadFileName;
    state.archiveDisplayName = ArchiveFileNameOf(state.selectedBranch.downloadUrl);
    RemoveDownloadedFile(state.archiveFileName);
    NotifyClearStatusLabel();
    PublishStatus("#Updater_P2", false, 0.0f);
    state.updateInProgress.exchange(true);
    state.downloadResult = LaunchDownloadJob(state);
}

void PollUpdateJobs() {
    UpdateState& state = g_updateState;
    if (!state.updateInProgress.load()) {
        return;
    }
    if (IsFinished(state.downloadResult)) {
        if (state.downloadResult.get()) {
            PublishStatus("#Updater_Unpacking", false, 1.0f);
            state.extractionResult = LaunchExtractionJob(state);
        } else {
            state.updateInProgress.exchange(false);
        }
    }
    if (IsFinished(state.extractionResult)) {
        if (state.extractionResult.get()) {
            CompleteUpdate(state);
        }
        state.updateInProgress.exchange(false);
    }
}

void SelectBranch(const BranchRecord& branch, const char* name) {
    UpdateState& state = g_updateState;
    state.chosenBranchName = name ? name : "";
    state.selectedBranch = branch;
}

void FinishJobsForExit() {
    UpdateState& state = g_updateState;
    CancelTransfers();
    // A download the polling has not carried on is of no use once the
    // process ends, finished or cut; nothing unpacks it later.
    if (state.downloadResult.valid()) {
        state.downloadResult.get();
        RemoveDownloadedFile(state.archiveFileName);
    }
    // Cutting an extraction would leave the game half old, half new.
    if (state.extractionResult.valid() && state.extractionResult.get()) {
        CompleteUpdate(state);
    }
    state.updateInProgress.exchange(false);
}

void EngineShutdown() {
    UpdateState& state = g_updateState;
    state.updateInProgress.exchange(false);
    state.engineInitialised = false;
    // Tearing libcurl down under a transfer that still runs would pull the
    // library from under that thread; the process ends right after this, and
    // leaving the library set up then costs nothing.
    if (!IsRunning(state.downloadResult)) {
        HttpGlobalCleanup();
    }
}

}  // namespace update
