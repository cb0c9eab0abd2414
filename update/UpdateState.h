// The engine's one process-wide state object and the branch record. Every
// engine operation is a plain function over this object; the two jobs read
// copies taken on the GUI thread, so nothing here needs a lock beyond the
// two atomic flags.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <future>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json_fwd.hpp>

namespace update {

// One accepted branch of the manifest.
struct BranchRecord {
    std::string name;
    std::string downloadUrl;
    // The progress total; the download reads it as unsigned.
    std::int32_t size = 0;
    std::string changelog;
    std::string version;
    // The archive's SHA-256 as the manifest gives it (64 hex digits, either
    // case); empty when the branch names none.
    std::string sha256{};
};

inline constexpr int kInstalledVersionSize = 64;

// What the manifest fetch brought back: the text (empty when the last
// request failed) and the failure of every request on the way, in order.
// With the publisher's key file beside the updater, also that file's text
// and the signature file fetched beside the manifest (empty when that
// request failed).
struct ManifestFetch {
    std::string text;
    std::vector<std::string> failureTexts;
    std::optional<std::string> keyFileText;
    std::string signatureText;
};

struct UpdateState {
    UpdateState();
    ~UpdateState();
    UpdateState(const UpdateState&) = delete;
    UpdateState& operator=(const UpdateState&) = delete;

    std::string chosenBranchName;
    BranchRecord selectedBranch;
    std::vector<BranchRecord> branches;
    // False makes the window's next tick rewrite its overall status.
    bool statusShown = false;
    // Set when the selected version differs from the installed one; never
    // cleared.
    std::atomic<bool> updateAvailable{false};
    // True from the launch of the download job until the update ends.
    std::atomic<bool> updateInProgress{false};
    // Kept for the life of the process although nothing reads it after
    // branch parsing; held by pointer so that users of this header do not
    // compile the JSON library.
    std::unique_ptr<nlohmann::json> manifest;
    char installedVersion[kInstalledVersionSize] = {};
    // The downloaded archive's file name in the current directory: always
    // the private download name, never one a server chose.
    std::string archiveFileName;
    // The archive's name as its address gives it, for the status texts only.
    std::string archiveDisplayName;
    // Releasing a result whose job still runs waits for that job, so the
    // process ends only after a running job has completed.
    std::future<bool> downloadResult;
    std::future<bool> extractionResult;
    // Set when the publisher's key lies beside the updater: the manifest was
    // verified against it, and every archive must then be pinned by a hash.
    bool archiveHashRequired = false;
    bool engineInitialised = false;
    // The fatal report's text once the initialisation has failed; it is not
    // tried again.
    const char* engineInitFailure = nullptr;
    // The manifest fetch of the initialisation while it runs on a worker.
    std::future<ManifestFetch> manifestFetch;
};

// A job's result has arrived; asked without waiting.
template <typename T>
bool IsFinished(const std::future<T>& result) {
    return result.valid() && result.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
}

// Built before the entry point runs, destroyed at process exit.
extern UpdateState g_updateState;

}  // namespace update
