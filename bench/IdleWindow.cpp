// One idle updater-sized window on the real GUI loop, for bench/idle_cpu.sh.
// It runs the loop for a while and reports the process's CPU use over that
// time as a share of one core; with --post-ms it also has a worker thread
// post a command every so often and reports how long each took to arrive,
// which is how fast a worker's post wakes the waiting loop.
//
//   bench_idle_window [--seconds N] [--post-ms M]
#include <SDL2/SDL_video.h>
#include <sys/resource.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

#include "app/LinkedServices.h"
#include "modules/updvgui2/ModuleServices.h"
#include "services/ServicePointers.h"
#include "vgui2/KeyValues.h"
#include "vgui2/Panel.h"

namespace {

using Clock = std::chrono::steady_clock;

std::atomic<Clock::rep> g_postedAt{0};
std::mutex g_latencyLock;
std::vector<double> g_latencies;

class PingPanel final : public vgui2::Panel {
public:
    PingPanel() : Panel(nullptr, "IdleWindow") {}

    void OnCommand(const char* command) override {
        if (std::strcmp(command, "ping") != 0) {
            return;
        }
        Clock::time_point posted{Clock::duration(g_postedAt.load())};
        double milliseconds = std::chrono::duration<double, std::milli>(Clock::now() - posted).count();
        std::lock_guard<std::mutex> lock(g_latencyLock);
        g_latencies.push_back(milliseconds);
    }
};

double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

void RunLoopFor(double seconds) {
    Clock::time_point end = Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                               std::chrono::duration<double>(seconds));
    while (vgui2::ivgui()->IsRunning() && Clock::now() < end) {
        vgui2::ivgui()->RunFrame();
    }
}

}  // namespace

int main(int argc, char** argv) {
    double seconds = 10.0;
    int postMilliseconds = 0;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--seconds") == 0) {
            seconds = std::atof(argv[i + 1]);
        } else if (std::strcmp(argv[i], "--post-ms") == 0) {
            postMilliseconds = std::atoi(argv[i + 1]);
        }
    }
    if (!app::ConnectLinkedServices()) {
        return 1;
    }

    auto* window = new PingPanel();
    window->MakePopup(true);
    window->SetPos(100, 100);
    window->SetSize(520, 380);
    window->SetBgColor(vgui2::Color(62, 70, 55, 255));
    window->SetVisible(true);
    vgui2::ivgui()->Start();

    // Let the window appear and settle before measuring.
    RunLoopFor(1.0);

    std::atomic<bool> posting{postMilliseconds > 0};
    std::thread worker([&] {
        while (posting.load()) {
            std::this_thread::sleep_for(std::chrono::milliseconds(postMilliseconds));
            if (!posting.load()) {
                break;
            }
            g_postedAt = Clock::now().time_since_epoch().count();
            KeyValues* message = new KeyValues("Command");
            message->SetString("command", "ping");
            vgui2::ivgui()->PostMessage(window->GetVPanel(), message, vgui2::kNoPanel);
        }
    });

    double cpuBefore = CpuSeconds();
    Clock::time_point wallBefore = Clock::now();
    RunLoopFor(seconds);
    double cpu = CpuSeconds() - cpuBefore;
    double wall = std::chrono::duration<double>(Clock::now() - wallBefore).count();
    posting = false;
    worker.join();

    std::printf("driver %s: %.2f s CPU over %.2f s = %.3f%% of one core\n", SDL_GetCurrentVideoDriver(), cpu, wall,
                100.0 * cpu / wall);
    std::lock_guard<std::mutex> lock(g_latencyLock);
    if (!g_latencies.empty()) {
        std::sort(g_latencies.begin(), g_latencies.end());
        std::printf("posts: %zu, wake-up latency median %.3f ms, worst %.3f ms\n", g_latencies.size(),
                    g_latencies[g_latencies.size() / 2], g_latencies.back());
    }
    vgui2::ivgui()->Stop();
    window->MarkForDeletion();
    TheSurface().Shutdown();
    return 0;
}
