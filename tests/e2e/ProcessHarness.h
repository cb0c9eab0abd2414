// Real processes for the end-to-end tests: programs started from an
// argument list in a folder of their choosing with their output kept in a
// file, the loopback release server, a demo game folder with its releases,
// and an X server of the test's own. Everything started here is ended by
// its process id when its owner goes away, so a failing test leaves no
// server, X server or program behind; every wait has a deadline.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <string>
#include <vector>

namespace e2e {

using Clock = std::chrono::steady_clock;

// The environment of this process with the given entries replaced or added
// ("NAME=value"); an entry "NAME=" removes NAME.
std::vector<std::string> EnvironmentWith(const std::vector<std::string>& changes);

class Process {
public:
    Process() = default;
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;
    ~Process() { Stop(); }

    // Standard output and standard error both go to outputFile (appended);
    // extraFd, when given, becomes descriptor 3 of the program.
    bool Start(const std::vector<std::string>& argv, const std::vector<std::string>& env,
               const std::string& workingFolder, const std::string& outputFile, int extraFd = -1);

    // The exit status once the program ended by itself (128 + signal when a
    // signal ended it), also when Running already saw it end; -1 when the
    // deadline passed, the program is then ended.
    int Wait(Clock::duration timeout);

    bool Running();
    pid_t Pid() const { return m_pid; }

    // SIGTERM, then SIGKILL after a grace period; reaps the program.
    void Stop();

private:
    pid_t m_pid = -1;
    int m_status = -1;
};

// Runs a program to its end and returns its exit status (-1 on time-out);
// its output, standard error included, lands in *output when given.
int Run(const std::vector<std::string>& argv, std::string* output = nullptr,
        Clock::duration timeout = std::chrono::seconds(30), const std::vector<std::string>& env = {});

// The release server serving a folder on 127.0.0.1.
class ReleaseServer {
public:
    // rate 0 serves at full speed, otherwise that many bytes a second.
    bool Start(const std::string& root, const std::string& logFile, unsigned rate = 0);
    int Port() const { return m_port; }
    std::string Url(const std::string& path) const;

private:
    Process m_process;
    int m_port = 0;
};

// A demo game folder and its releases under one folder, laid out by the
// demo's own script, so the tests check what the person sees.
struct DemoFolder {
    std::string root;
    std::string Game() const { return root + "/game"; }
    std::string Releases() const { return root + "/releases"; }
};
bool MakeDemoFolder(const std::string& root, int port, DemoFolder& demo);

// What the game folder's module reports, read by a separate process so that
// no copy of a replaced module stays loaded here.
std::string ReportedVersion(const std::string& gameFolder);

// An X server (Xvfb) on a free display of its own.
class XServer {
public:
    bool Start();
    const std::string& Display() const { return m_display; }

private:
    Process m_process;
    std::string m_display;
};

}  // namespace e2e
