// Start-up time of a windowed program, for startup_bench.sh: starts the
// program, watches the X server for the first top-level window that gets
// mapped and then reads that window until its first frame is painted, which
// is the moment a user first sees it. Optionally it then
// measures the program's idle CPU for a while. Either way it ends the
// program with SIGTERM (SIGKILL if that does not end it) and reports the
// program's peak resident memory, so one run yields all three figures.
// Processes named with --also-pid (the X server; for a program under Wine,
// its wineserver and service processes) are measured over the same idle
// interval, each on its own.
//
//   bench_first_window [--idle-seconds N] [--timeout S] [--also-pid PID]...
//                      -- program [args...]
//
// Prints one line: "mapped_ms=<ms> window_ms=<ms> idle_cpu_pct=<%|->
// max_rss_kib=<KiB>", window_ms being the first painted frame; with
// --also-pid and an idle interval, " also_cpu_pct=<%>,<%>..." follows in the
// order given (-1 for a process that could not be read).
// Needs DISPLAY; a private Xvfb keeps other clients' windows out.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

// User plus system time of the whole process (all threads), in seconds.
double CpuSecondsOf(pid_t pid) {
    std::string path = "/proc/" + std::to_string(pid) + "/stat";
    std::FILE* file = std::fopen(path.c_str(), "r");
    if (!file) {
        return -1.0;
    }
    char line[1024] = {};
    bool read = std::fgets(line, sizeof(line), file) != nullptr;
    std::fclose(file);
    // The command name may hold spaces and parentheses; fields count from
    // the last ')'. utime and stime are fields 14 and 15.
    const char* rest = read ? std::strrchr(line, ')') : nullptr;
    unsigned long utime = 0;
    unsigned long stime = 0;
    if (!rest || std::sscanf(rest + 2, "%*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %lu %lu", &utime, &stime) != 2) {
        return -1.0;
    }
    return static_cast<double>(utime + stime) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

// True once the first top-level window has been mapped (*window is set);
// false when the program ended (then *exited is set, the program reaped) or
// the time-out passed first.
bool WaitForFirstMap(Display* display, pid_t child, double timeoutSeconds, Clock::time_point start, bool* exited,
                     Window* window) {
    pollfd connection{ConnectionNumber(display), POLLIN, 0};
    while (SecondsSince(start) < timeoutSeconds) {
        while (XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == MapNotify && event.xmap.event == DefaultRootWindow(display)) {
                *window = event.xmap.window;
                return true;
            }
        }
        int status = 0;
        if (waitpid(child, &status, WNOHANG) == child) {
            *exited = true;
            std::fprintf(stderr, "bench_first_window: the program ended before showing a window (status %d)\n",
                         status);
            return false;
        }
        poll(&connection, 1, 5);
    }
    std::fprintf(stderr, "bench_first_window: no window within %.0f s\n", timeoutSeconds);
    return false;
}

// A window the X server has only mapped shows black; the first frame the
// program presents puts its colours there. True once any pixel is not black.
bool HasPainted(Display* display, Window window) {
    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(display, window, &attributes) || attributes.width <= 0 || attributes.height <= 0) {
        return false;
    }
    XImage* image = XGetImage(display, window, 0, 0, static_cast<unsigned>(attributes.width),
                              static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
    if (!image) {
        return false;
    }
    bool painted = false;
    for (int y = 0; y < attributes.height && !painted; ++y) {
        for (int x = 0; x < attributes.width && !painted; ++x) {
            painted = (XGetPixel(image, x, y) & 0xffffff) != 0;
        }
    }
    XDestroyImage(image);
    return painted;
}

// True once the window shows its first painted frame; false after the
// time-out or when the window went away.
bool WaitForFirstPaint(Display* display, Window window, double timeoutSeconds, Clock::time_point start) {
    while (SecondsSince(start) < timeoutSeconds) {
        if (HasPainted(display, window)) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    std::fprintf(stderr, "bench_first_window: the window was not painted within %.0f s\n", timeoutSeconds);
    return false;
}

// Ends the program as its close button would and collects its usage. The
// toolkit turns a first SIGTERM into closing the windows, which ends the
// updater; a window that ignores closing (the bare one) stops its loop at
// the second. False when even that did not end it and it had to be killed.
bool EndProgram(pid_t child, rusage* usage) {
    kill(child, SIGTERM);
    Clock::time_point asked = Clock::now();
    bool askedTwice = false;
    int status = 0;
    while (wait4(child, &status, WNOHANG, usage) == 0) {
        if (!askedTwice && SecondsSince(asked) > 1.0) {
            kill(child, SIGTERM);
            askedTwice = true;
        }
        if (SecondsSince(asked) > 5.0) {
            kill(child, SIGKILL);
            wait4(child, &status, 0, usage);
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

int Usage() {
    std::fprintf(stderr, "usage: bench_first_window [--idle-seconds N] [--timeout S] [--also-pid PID]... "
                         "-- program [args...]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    double idleSeconds = 0.0;
    double timeoutSeconds = 30.0;
    std::vector<pid_t> alsoMeasured;
    int first = 1;
    for (; first < argc && std::strcmp(argv[first], "--") != 0; first += 2) {
        if (first + 1 >= argc) {
            return Usage();
        }
        if (std::strcmp(argv[first], "--idle-seconds") == 0) {
            idleSeconds = std::atof(argv[first + 1]);
        } else if (std::strcmp(argv[first], "--timeout") == 0) {
            timeoutSeconds = std::atof(argv[first + 1]);
        } else if (std::strcmp(argv[first], "--also-pid") == 0) {
            alsoMeasured.push_back(static_cast<pid_t>(std::atol(argv[first + 1])));
        } else {
            return Usage();
        }
    }
    if (first + 1 >= argc) {
        return Usage();
    }
    char** program = argv + first + 1;

    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "bench_first_window: cannot open the display\n");
        return 1;
    }
    // Subscribing before the fork means no map can slip past unseen.
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    XSync(display, False);
    fcntl(ConnectionNumber(display), F_SETFD, FD_CLOEXEC);

    Clock::time_point start = Clock::now();
    pid_t child = fork();
    if (child == 0) {
        execvp(program[0], program);
        std::fprintf(stderr, "bench_first_window: cannot run %s: %s\n", program[0], std::strerror(errno));
        _exit(127);
    }
    if (child < 0) {
        std::perror("bench_first_window: fork");
        return 1;
    }

    bool exited = false;
    Window window = 0;
    bool shown = WaitForFirstMap(display, child, timeoutSeconds, start, &exited, &window);
    double mappedMilliseconds = SecondsSince(start) * 1000.0;
    // A window that goes away before it was read raises an X error; the
    // default handler would end this program.
    XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
    shown = shown && WaitForFirstPaint(display, window, timeoutSeconds, start);
    double windowMilliseconds = SecondsSince(start) * 1000.0;
    double idlePercent = -1.0;
    std::string alsoPercents;
    if (shown && idleSeconds > 0.0) {
        // The first frames lay out, load fonts and fetch; let them finish.
        std::this_thread::sleep_for(std::chrono::seconds(2));
        std::vector<double> alsoBefore;
        for (pid_t pid : alsoMeasured) {
            alsoBefore.push_back(CpuSecondsOf(pid));
        }
        double cpuBefore = CpuSecondsOf(child);
        Clock::time_point wallBefore = Clock::now();
        std::this_thread::sleep_for(std::chrono::duration<double>(idleSeconds));
        double cpuAfter = CpuSecondsOf(child);
        double wall = SecondsSince(wallBefore);
        if (cpuBefore >= 0.0 && cpuAfter >= 0.0) {
            idlePercent = 100.0 * (cpuAfter - cpuBefore) / wall;
        }
        for (std::size_t i = 0; i < alsoMeasured.size(); ++i) {
            double after = CpuSecondsOf(alsoMeasured[i]);
            double percent = alsoBefore[i] >= 0.0 && after >= 0.0 ? 100.0 * (after - alsoBefore[i]) / wall : -1.0;
            char text[32];
            std::snprintf(text, sizeof(text), "%s%.3f", i == 0 ? " also_cpu_pct=" : ",", percent);
            alsoPercents += text;
        }
    }
    rusage usage{};
    bool ended = exited || EndProgram(child, &usage);
    XCloseDisplay(display);
    if (!shown) {
        return 1;
    }
    if (!ended) {
        std::fprintf(stderr, "bench_first_window: the program ignored two SIGTERMs and was killed\n");
        return 1;
    }
    if (idlePercent >= 0.0) {
        std::printf("mapped_ms=%.1f window_ms=%.1f idle_cpu_pct=%.3f max_rss_kib=%ld%s\n", mappedMilliseconds,
                    windowMilliseconds, idlePercent, usage.ru_maxrss, alsoPercents.c_str());
    } else {
        std::printf("mapped_ms=%.1f window_ms=%.1f idle_cpu_pct=- max_rss_kib=%ld\n", mappedMilliseconds,
                    windowMilliseconds, usage.ru_maxrss);
    }
    return 0;
}
