#include "tests/support/ChildProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <thread>

extern char** environ;

namespace testproc {

namespace {

using namespace std::chrono_literals;

constexpr auto kStopGrace = 3s;
constexpr auto kXServerDeadline = 10s;
constexpr auto kToolDeadline = 10s;
constexpr const char* kXServerLock = "/tmp/upd-tests-xserver.lock";
// Above the displays a desktop or a developer's own X servers use.
constexpr int kFirstDisplay = 40;
constexpr int kLastDisplay = 400;

std::string NameOf(const std::string& entry) { return entry.substr(0, entry.find('=') + 1); }

std::string ReadWhole(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Holds the machine-wide X server lock for its lifetime.
class XServerLock {
public:
    XServerLock() : m_fd(open(kXServerLock, O_RDWR | O_CREAT | O_CLOEXEC, 0666)) {
        if (m_fd >= 0) {
            flock(m_fd, LOCK_EX);
        }
    }
    ~XServerLock() {
        if (m_fd >= 0) {
            close(m_fd);
        }
    }
    XServerLock(const XServerLock&) = delete;
    XServerLock& operator=(const XServerLock&) = delete;

private:
    int m_fd;
};

// Reads what the X server writes to its display descriptor up to the line
// feed it ends the number with; empty after the deadline.
std::string ReadDisplayNumber(int fd) {
    std::string number;
    auto deadline = Clock::now() + kXServerDeadline;
    while (number.find('\n') == std::string::npos && Clock::now() < deadline) {
        pollfd ready{fd, POLLIN, 0};
        if (poll(&ready, 1, 100) > 0) {
            char buffer[16];
            ssize_t got = read(fd, buffer, sizeof(buffer));
            if (got <= 0) {
                break;
            }
            number.append(buffer, static_cast<std::size_t>(got));
        }
    }
    std::size_t end = number.find('\n');
    return end == std::string::npos ? std::string() : number.substr(0, end);
}

}  // namespace

std::vector<std::string> EnvironmentWith(const std::vector<std::string>& changes) {
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

bool Process::Spawn(const std::vector<std::string>& argv, const std::vector<std::string>& env, void* actions) {
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
    int result = posix_spawn(&m_pid, args[0], static_cast<posix_spawn_file_actions_t*>(actions), nullptr,
                             args.data(), envp.data());
    if (result != 0) {
        m_pid = -1;
    }
    return result == 0;
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
    bool started = Spawn(argv, env, &actions);
    posix_spawn_file_actions_destroy(&actions);
    return started;
}

bool Process::StartReadingOutput(const std::vector<std::string>& argv, const std::vector<std::string>& env) {
    Stop();
    m_status = -1;
    int output[2];
    if (pipe2(output, O_CLOEXEC) != 0) {
        return false;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, output[1], STDOUT_FILENO);
    bool started = Spawn(argv, env, &actions);
    posix_spawn_file_actions_destroy(&actions);
    close(output[1]);
    if (!started) {
        close(output[0]);
        return false;
    }
    m_output = output[0];
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
    if (m_pid > 0) {
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
    if (m_output >= 0) {
        close(m_output);
        m_output = -1;
    }
}

int Run(const std::vector<std::string>& argv, std::string* output, Clock::duration timeout,
        const std::vector<std::string>& env) {
    char pattern[] = "/tmp/test-output-XXXXXX";
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

bool XServer::Start() {
    Stop();
    XServerLock lock;
    // The display is picked here, under the lock, among numbers with
    // neither a socket nor a lock file, rather than by servers probing the
    // numbers in use while others start and stop around them.
    for (int number = kFirstDisplay; number <= kLastDisplay; ++number) {
        std::string display = std::to_string(number);
        if (access(("/tmp/.X11-unix/X" + display).c_str(), F_OK) == 0 ||
            access(("/tmp/.X" + display + "-lock").c_str(), F_OK) == 0) {
            continue;
        }
        int ready[2];
        if (pipe2(ready, O_CLOEXEC) != 0) {
            return false;
        }
        // Without -noreset the server resets whenever its last client leaves,
        // and a client connecting during the reset is refused: a tool that
        // just ended would make the program under test fail to start.
        bool started = m_process.Start({"/usr/bin/Xvfb", ":" + display, "-displayfd", "3", "-noreset", "-screen",
                                        "0", "1024x768x24", "-nolisten", "tcp"},
                                       EnvironmentWith({}), "", "/dev/null", ready[1]);
        close(ready[1]);
        // The server writes the display number once it accepts connections.
        bool accepted = started && ReadDisplayNumber(ready[0]) == display;
        close(ready[0]);
        if (accepted && access(("/tmp/.X11-unix/X" + display).c_str(), F_OK) == 0) {
            m_display = ":" + display;
            return true;
        }
        m_process.Stop();
    }
    return false;
}

int XServer::Xdotool(const std::vector<std::string>& arguments, std::string* output) const {
    std::vector<std::string> argv{"/usr/bin/xdotool"};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    return Run(argv, output, kToolDeadline, {"DISPLAY=" + m_display});
}

void XServer::Stop() {
    if (m_process.Pid() > 0) {
        XServerLock lock;
        m_process.Stop();
    }
    m_display.clear();
}

}  // namespace testproc
