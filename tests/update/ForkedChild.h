// Runs a piece of a test in a forked child, for a disk that fills up. A
// file-size limit stands in for the full disk: writes past it fail with
// EFBIG (the signal that would otherwise kill the writer is ignored). Only
// the child is limited, so the test process itself and its in-process HTTP
// server keep working. The child reports what it saw as lines through a
// pipe; assertions stay in the parent.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace enginetest {

class ChildChannel {
public:
    explicit ChildChannel(int fd) : m_fd(fd) {}

    // One line to the parent; lines may hold line ends.
    void Send(const std::string& line) {
        std::string record = line + '\0';
        const char* data = record.data();
        std::size_t left = record.size();
        while (left > 0) {
            ssize_t written = write(m_fd, data, left);
            if (written <= 0) {
                return;
            }
            data += written;
            left -= static_cast<std::size_t>(written);
        }
    }

    // The disk has room again, for the attempt after the failure.
    static void LiftFileSizeLimit() {
        rlimit limit{};
        getrlimit(RLIMIT_FSIZE, &limit);
        limit.rlim_cur = limit.rlim_max;
        setrlimit(RLIMIT_FSIZE, &limit);
    }

private:
    int m_fd;
};

struct ChildReport {
    // 0 when the child ran its body to the end, the status it gave to exit
    // otherwise; -1 when it was killed, by a signal or at the deadline.
    int exitCode = -1;
    std::vector<std::string> lines;
};

inline ChildReport RunInChild(const std::function<void(ChildChannel&)>& body, std::chrono::seconds deadline,
                              rlim_t fileSizeLimit = RLIM_INFINITY) {
    ChildReport report;
    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC) != 0) {
        return report;
    }
    // Buffered output would otherwise be written twice, once by each process.
    std::fflush(nullptr);
    pid_t child = fork();
    if (child == 0) {
        close(pipeFds[0]);
        signal(SIGXFSZ, SIG_IGN);
        rlimit limit{};
        getrlimit(RLIMIT_FSIZE, &limit);
        limit.rlim_cur = fileSizeLimit;
        setrlimit(RLIMIT_FSIZE, &limit);
        ChildChannel channel(pipeFds[1]);
        body(channel);
        // No destructors or exit handlers: they belong to the parent's test.
        _exit(0);
    }
    close(pipeFds[1]);
    if (child < 0) {
        close(pipeFds[0]);
        return report;
    }

    std::string received;
    auto end = std::chrono::steady_clock::now() + deadline;
    bool open = true;
    while (open) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
        pollfd waiting{pipeFds[0], POLLIN, 0};
        if (left.count() <= 0 || poll(&waiting, 1, static_cast<int>(left.count())) <= 0) {
            break;
        }
        char buffer[4096];
        ssize_t got = read(pipeFds[0], buffer, sizeof(buffer));
        if (got > 0) {
            received.append(buffer, static_cast<std::size_t>(got));
        } else {
            open = false;
        }
    }
    close(pipeFds[0]);
    if (open) {
        kill(child, SIGKILL);
    }
    int status = 0;
    waitpid(child, &status, 0);
    if (!open && WIFEXITED(status)) {
        report.exitCode = WEXITSTATUS(status);
    }

    std::size_t start = 0;
    for (std::size_t stop = received.find('\0'); stop != std::string::npos; stop = received.find('\0', start)) {
        report.lines.push_back(received.substr(start, stop - start));
        start = stop + 1;
    }
    return report;
}

}  // namespace enginetest
