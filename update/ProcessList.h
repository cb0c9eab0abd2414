// The operating-system facts the game-process guard needs: the running
// processes in the system's order, and whether a file can be opened for
// writing. Kept apart so the guard's decisions stay platform-neutral.
#pragma once

#include <functional>
#include <string>

namespace update {

struct ProcessEntry {
    std::string name;  // the executable's name as the system reports it
    int id = 0;
};

// Calls the visitor for every process in order until it returns false.
// False when the process list cannot be read at all.
bool ForEachProcess(const std::function<bool(const ProcessEntry&)>& visitor);

// The full path of the process's executable; false when it may not be read.
bool ProcessImagePath(int processId, std::string& path);

// Opens an existing file for writing and closes it again; false when the
// system refuses (a running executable, a locked or read-only file).
bool CanOpenForWriting(const std::string& path);

// The full path of the running executable; empty when unknown.
std::string OwnExecutablePath();

}  // namespace update
