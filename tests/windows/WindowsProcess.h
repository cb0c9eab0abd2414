// Programs the Windows tests start and watch from outside: a running copy of
// the stand-in game, and a program run to its end with its standard error
// in a file while its message boxes are read and answered.
#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "tests/windows/MessageBoxes.h"

namespace wintest {

// A copy of the stand-in game at the given path, running until the object
// goes away.
class RunningGame {
public:
    explicit RunningGame(const std::string& path);
    ~RunningGame();
    RunningGame(const RunningGame&) = delete;
    RunningGame& operator=(const RunningGame&) = delete;

    bool Running() const;

private:
    void* m_process = nullptr;
};

struct RunResult {
    int exitCode = -1;  // -1: still running at the deadline, then ended
    std::string standardError;
    std::vector<SeenBox> boxes;  // in the order they appeared; each answered with OK
};

// Runs the program in its folder with standard error in a file; every
// message box it shows is read and dismissed.
RunResult RunAnsweringBoxes(const std::string& program, std::chrono::seconds deadline);

}  // namespace wintest
