// The running processes as the game guard needs them: their names in the
// system's order, the file each one runs, and whether a file can be opened
// for writing. A process that may not be inspected counts as not found.
#pragma once

#include <functional>
#include <string>

namespace platform {

struct ProcessEntry {
    std::string name;  // the executable's name as the system reports it
    int id = 0;
};

struct ProcessImage {
    std::string path;  // absolute, as the file system names it
    // Run by a Windows compatibility layer (Wine, Proton): the path comes
    // from the command line, and the layer holds the file in a way an
    // attempt to open it cannot see.
    bool underCompatibilityLayer = false;
};

// Calls the visitor for every process in order until it returns false.
// False when the process list cannot be read at all.
bool ForEachProcess(const std::function<bool(const ProcessEntry&)>& visitor);

// The file the process runs; false when it may not be read.
bool ProcessImageOf(int processId, ProcessImage& image);

// Opens an existing file for writing and closes it again; false when the
// system refuses (a running executable, a locked or read-only file).
bool CanOpenForWriting(const std::string& path);

// The full path of the running executable; empty when unknown.
std::string OwnExecutablePath();

}  // namespace platform
