// Drives the update engine's download and extraction on their own, and a
// whole update through the real update job, for the side-by-side comparison
// in engine_bench.sh (and, for the Windows build under Wine, windows_bench.sh).
// The download publishes its progress for every block through the real
// localization service into a publisher that keeps only the newest text, as
// the window's hand-off does.
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>

#include "modules/updfs/FileSystemStdio.h"
#include "modules/updvgui2/Localize.h"
#include "services/ServicePointers.h"
#include "update/Extraction.h"
#include "update/Publishers.h"
#include "update/Transfer.h"
#include "update/UpdateJob.h"
#include "update/UpdateState.h"

namespace {

class LatestOnlyPublisher final : public update::IUpdatePublisher {
public:
    void PublishStatus(const char* text, bool error, float) override {
        std::fprintf(stderr, "status: %s\n", text);
        m_succeeded = !error && std::strcmp(text, "#Updater_Success") == 0;
    }
    void PublishProgress(const vgui2::wchar* text, float progress) override {
        std::lock_guard lock(m_mutex);
        std::u16string latest(text);
        m_latest.swap(latest);
        m_progress = progress;
        ++m_count;
    }
    void ClearStatusLabel() override {}
    void BranchListReady() override {}
    void InstalledVersionChanged() override {}

    long Count() const { return m_count; }
    // Whether the last status was the update's success text; only the GUI
    // thread's completion step publishes it.
    bool Succeeded() const { return m_succeeded; }

private:
    std::mutex m_mutex;
    std::u16string m_latest;
    float m_progress = 0.0f;
    long m_count = 0;
    std::atomic<bool> m_succeeded{false};
};

// The window's update tick runs once per GUI frame; polling at the same
// cadence keeps the hand-off delay from download to extraction what a user
// gets.
constexpr auto kFrameInterval = std::chrono::milliseconds(16);

// A whole update as the window runs it, in the current folder: start update
// launches the download job, the per-frame poll starts the extraction and
// completes the update (branch file, version probe, archive removal).
bool RunWholeUpdate(const char* url, std::int32_t size, const LatestOnlyPublisher& publisher) {
    // Start-up makes the game folder the root search path; the extraction
    // job finds the downloaded archive through it.
    TheFileSystem().AddSearchPath(".", "ROOT");
    update::UpdateState& state = update::g_updateState;
    std::snprintf(state.installedVersion, sizeof(state.installedVersion), "%s", "installed");
    update::BranchRecord branch;
    branch.name = "bench";
    branch.downloadUrl = url;
    branch.size = size;
    branch.version = "released";
    update::SelectBranch(branch, branch.name.c_str());
    update::StartUpdate();
    while (state.updateInProgress.load()) {
        std::this_thread::sleep_for(kFrameInterval);
        update::PollUpdateJobs();
    }
    return publisher.Succeeded();
}

// -1 where there is no /proc (Windows); the scripts measure peak memory
// from outside anyway, this line is for a run by hand.
long PeakResidentKiB() {
    std::FILE* status = std::fopen("/proc/self/status", "r");
    char line[256];
    long peak = -1;
    while (status && std::fgets(line, sizeof(line), status)) {
        if (std::strncmp(line, "VmHWM:", 6) == 0) {
            peak = std::atol(line + 6);
        }
    }
    if (status) {
        std::fclose(status);
    }
    return peak;
}

bool EnterFolder(const char* path) {
    std::error_code error;
    std::filesystem::current_path(path, error);
    return !error;
}

int Usage() {
    std::fprintf(stderr, "usage: bench_engine download <url> <file> <size> [sha256]\n"
                         "       bench_engine extract <archive> <destination>\n"
                         "       bench_engine update <url> <size> <game folder>\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4 || argc > 6) {
        return Usage();
    }
    CLocalize localize(nullptr);
    localize.AddString("Updater_DownloadingFile", u"Downloading %s1...", "bench");
    localize.AddString("Updater_DownloadingFile2", u"Downloading %s1: %s2 MiB of %s3 MiB", "bench");
    vgui2::g_services.localize = &localize;
    vgui2::g_services.fileSystem = &TheFileSystem();
    LatestOnlyPublisher publisher;
    update::SetUpdatePublisher(&publisher);

    bool ok = false;
    if (std::strcmp(argv[1], "download") == 0 && argc >= 5) {
        update::HttpGlobalInit();
        ok = update::DownloadFile(argv[2], argv[3], static_cast<std::uint32_t>(std::strtoul(argv[4], nullptr, 10)),
                                  nullptr, argc == 6 ? argv[5] : nullptr);
        update::HttpGlobalCleanup();
    } else if (std::strcmp(argv[1], "extract") == 0 && argc == 4) {
        ok = EnterFolder(argv[3]) && update::ExtractArchive(argv[2]);
    } else if (std::strcmp(argv[1], "update") == 0 && argc == 5) {
        update::HttpGlobalInit();
        ok = EnterFolder(argv[4]) &&
             RunWholeUpdate(argv[2], static_cast<std::int32_t>(std::strtol(argv[3], nullptr, 10)), publisher);
        update::EngineShutdown();
    } else {
        return Usage();
    }
    update::SetUpdatePublisher(nullptr);
    std::fprintf(stderr, "publications %ld, peak resident %ld KiB\n", publisher.Count(), PeakResidentKiB());
    return ok ? 0 : 1;
}
