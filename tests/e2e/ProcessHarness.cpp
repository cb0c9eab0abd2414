#include "tests/e2e/ProcessHarness.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

extern char** environ;

namespace e2e {

namespace {

using namespace std::chrono_literals;

constexpr auto kStopGrace = 3s;
constexpr auto kStartDeadline = 10s;

std::string NameOf(const std::string& entry) { return entry.substr(0, entry.find('=') + 1); }

std::string ReadWhole(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string Trimmed(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) {
        text.pop_back();
    }
    return text;
}

}  // namespace

std::vector<std::string> EnvironmentWith(const std::vector<std::string>& requested) {
    // The updater keeps its window, viewport and root panel until the
    // process ends, by design; in sanitizer builds the leak check would
    // report them and turn every clean exit into 1. Memory errors still fail.
    std::vector<std::string> changes{"ASAN_OPTIONS=detect_leaks=0"};
    changes.insert(changes.end(), requested.begin(), requested.end());
    std::vector<std::string> env;
    for (char** entry = environ; *entry; ++entry) {
        std::string name = NameOf(*entry);
        bool replaced = false;
        for (const std::string& change : changes) {
            replaced = replaced || NameOf(change) == name;
        }
        if (!replaced) {
            env.emplace_back(*entry);
        }
    }
    for (const std::string& change : changes) {
        if (change.back() != '=') {
            env.push_back(change);
        }
    }
    return env;
}

bool Process::Start(const std::vector<std::string>& argv, const std::vector<std::string>& env,
                    const std::string& workingFolder, const std::string& outputFile, int extraFd) {
    Stop();
    m_status = -1;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (!outputFile.empty()) {
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, outputFile.c_str(), O_WRONLY | O_CREAT | O_APPEND,
                                         0644);
        posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
    }
    if (extraFd >= 0) {
        posix_spawn_file_actions_adddup2(&actions, extraFd, 3);
    }
    if (!workingFolder.empty()) {
        posix_spawn_file_actions_addchdir_np(&actions, workingFolder.c_str());
    }
    std::vector<char*> args;
    for (const std::string& arg : argv) {
        args.push_back(const_cast<char*>(arg.c_str()));
    }
    args.push_back(nullptr);
    std::vector<char*> envp;
    for (const std::string& entry : env) {
        envp.push_back(const_cast<char*>(entry.c_str()));
    }
    envp.push_back(nullptr);
    int result = posix_spawn(&m_pid, args[0], &actions, nullptr, args.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (result != 0) {
        m_pid = -1;
        return false;
    }
    return true;
}

int Process::Wait(Clock::duration timeout) {
    auto deadline = Clock::now() + timeout;
    while (Running()) {
        if (Clock::now() > deadline) {
            Stop();
            return -1;
        }
        std::this_thread::sleep_for(10ms);
    }
    return m_status;
}

bool Process::Running() {
    if (m_pid <= 0) {
        return false;
    }
    int status = 0;
    if (waitpid(m_pid, &status, WNOHANG) != m_pid) {
        return true;
    }
    // Reaped here: the status is kept for Wait.
    m_pid = -1;
    m_status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return false;
}

void Process::Stop() {
    if (m_pid <= 0) {
        return;
    }
    kill(m_pid, SIGTERM);
    auto deadline = Clock::now() + kStopGrace;
    while (waitpid(m_pid, nullptr, WNOHANG) == 0) {
        if (Clock::now() > deadline) {
            kill(m_pid, SIGKILL);
            waitpid(m_pid, nullptr, 0);
            break;
        }
        std::this_thread::sleep_for(10ms);
    }
    m_pid = -1;
}

int Run(const std::vector<std::string>& argv, std::string* output, Clock::duration timeout,
        const std::vector<std::string>& env) {
    char pattern[] = "/tmp/e2e-output-XXXXXX";
    int fd = mkstemp(pattern);
    if (fd < 0) {
        return -1;
    }
    close(fd);
    Process process;
    int status = process.Start(argv, EnvironmentWith(env), "", pattern) ? process.Wait(timeout) : -1;
    if (output) {
        *output = ReadWhole(pattern);
    }
    unlink(pattern);
    return status;
}

bool ReleaseServer::Start(const std::string& root, const std::string& logFile, unsigned rate) {
    std::string portFile = logFile + ".port";
    unlink(portFile.c_str());
    std::vector<std::string> argv{UPD_RELEASE_SERVER, "--root", root, "--port-file", portFile};
    if (rate > 0) {
        argv.insert(argv.end(), {"--rate", std::to_string(rate)});
    }
    if (!m_process.Start(argv, EnvironmentWith({}), "", logFile)) {
        return false;
    }
    // The port file is complete once it ends with a line feed.
    auto deadline = Clock::now() + kStartDeadline;
    while (Clock::now() < deadline && m_process.Running()) {
        std::string text = ReadWhole(portFile);
        if (!text.empty() && text.back() == '\n') {
            m_port = std::atoi(text.c_str());
            return m_port > 0;
        }
        std::this_thread::sleep_for(20ms);
    }
    return false;
}

std::string ReleaseServer::Url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(m_port) + path;
}

bool MakeDemoFolder(const std::string& root, int port, DemoFolder& demo) {
    std::string output;
    int status = Run({"/bin/sh", UPD_SOURCE_DIR "/scripts/demo/make_demo.sh", UPD_BUILD_DIR, root,
                      std::to_string(port)},
                     &output);
    if (status != 0) {
        std::fprintf(stderr, "make_demo.sh failed (%d): %s\n", status, output.c_str());
        return false;
    }
    demo.root = root;
    return true;
}

std::string ReportedVersion(const std::string& gameFolder) {
    std::string output;
    if (Run({UPD_GAME_VERSION, gameFolder}, &output) != 0) {
        return "(game_version failed: " + output + ")";
    }
    return Trimmed(output);
}

bool XServer::Start() {
    int ready[2];
    if (pipe2(ready, O_CLOEXEC) != 0) {
        return false;
    }
    bool started = m_process.Start({"/usr/bin/Xvfb", "-displayfd", "3", "-screen", "0", "1024x768x24", "-nolisten",
                                    "tcp"},
                                   EnvironmentWith({}), "", "/dev/null", ready[1]);
    close(ready[1]);
    // Xvfb writes the display number once it accepts connections.
    std::string number;
    auto deadline = Clock::now() + kStartDeadline;
    while (started && number.find('\n') == std::string::npos && Clock::now() < deadline) {
        pollfd fd{ready[0], POLLIN, 0};
        if (poll(&fd, 1, 100) > 0) {
            char buffer[16];
            ssize_t got = read(ready[0], buffer, sizeof(buffer));
            if (got <= 0) {
                break;
            }
            number.append(buffer, static_cast<std::size_t>(got));
        }
    }
    close(ready[0]);
    if (number.find('\n') == std::string::npos) {
        return false;
    }
    m_display = ":" + number.substr(0, number.find('\n'));
    return true;
}

}  // namespace e2e
