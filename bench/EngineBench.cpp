// Drives the update engine's download and extraction on their own, for the
// side-by-side comparison in engine_bench.sh. The download publishes its
// progress for every block through the real localization service into a
// publisher that keeps only the newest text, as the window's hand-off does.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>

#include "modules/updfs/FileSystemStdio.h"
#include "modules/updvgui2/Localize.h"
#include "services/ServicePointers.h"
#include "update/Extraction.h"
#include "update/Publishers.h"
#include "update/Transfer.h"

namespace {

class LatestOnlyPublisher final : public update::IUpdatePublisher {
public:
    void PublishStatus(const char* text, bool, float) override { std::fprintf(stderr, "status: %s\n", text); }
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

private:
    std::mutex m_mutex;
    std::u16string m_latest;
    float m_progress = 0.0f;
    long m_count = 0;
};

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

int Usage() {
    std::fprintf(stderr, "usage: bench_engine download <url> <file> <size>\n"
                         "       bench_engine extract <archive> <destination>\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 5 && argc != 4) {
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
    if (std::strcmp(argv[1], "download") == 0 && argc == 5) {
        update::HttpGlobalInit();
        ok = update::DownloadFile(argv[2], argv[3], static_cast<std::uint32_t>(std::strtoul(argv[4], nullptr, 10)));
        update::HttpGlobalCleanup();
    } else if (std::strcmp(argv[1], "extract") == 0 && argc == 4) {
        ok = chdir(argv[3]) == 0 && update::ExtractArchive(argv[2]);
    } else {
        return Usage();
    }
    update::SetUpdatePublisher(nullptr);
    std::fprintf(stderr, "publications %ld, peak resident %ld KiB\n", publisher.Count(), PeakResidentKiB());
    return ok ? 0 : 1;
}
