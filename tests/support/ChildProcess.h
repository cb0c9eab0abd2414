// Real processes for the tests that drive programs from outside: programs
// started from an argument list with their output in a file or a pipe, and
// an X server of the test's own. Everything started here is ended by its
// process id when its owner goes away, so a failing test leaves no program
// or X server behind; every wait has a deadline.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <string>
#include <vector>

namespace testproc {

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

    // Standard output goes to a pipe whose reading end is Output().
    bool StartReadingOutput(const std::vector<std::string>& argv, const std::vector<std::string>& env);
    int Output() const { return m_output; }

    // The exit status once the program ended by itself (128 + signal when a
    // signal ended it), also when Running already saw it end; -1 when the
    // deadline passed, the program is then ended.
    int Wait(Clock::duration timeout);

    bool Running();
    pid_t Pid() const { return m_pid; }

    // SIGTERM, then SIGKILL after a grace period; reaps the program.
    void Stop();

private:
    bool Spawn(const std::vector<std::string>& argv, const std::vector<std::string>& env, void* actions);

    pid_t m_pid = -1;
    int m_status = -1;
    int m_output = -1;
};

// Runs a program to its end and returns its exit status (-1 on time-out);
// its output, standard error included, lands in *output when given. env
// holds changes to this process's environment.
int Run(const std::vector<std::string>& argv, std::string* output = nullptr,
        Clock::duration timeout = std::chrono::seconds(30), const std::vector<std::string>& env = {});

// An X server (Xvfb) on a free display of its own. Displays are chosen,
// and servers started and stopped, under one lock shared by all test
// processes of the machine, so that parallel tests never take or disturb
// each other's display.
class XServer {
public:
    XServer() = default;
    XServer(const XServer&) = delete;
    XServer& operator=(const XServer&) = delete;
    ~XServer() { Stop(); }

    bool Start();
    void Stop();
    const std::string& Display() const { return m_display; }

    // Runs xdotool against this display, as Run does; a tool that does not
    // end within its deadline counts as failed (-1).
    int Xdotool(const std::vector<std::string>& arguments, std::string* output = nullptr) const;

private:
    Process m_process;
    std::string m_display;
};

}  // namespace testproc
