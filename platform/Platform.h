// The operating-system layer: shared libraries, the executable's folder,
// directories, and the fatal error report. Everything else in the code base
// reaches the operating system through these functions, so a port to
// another system adds a source file here and touches nothing else.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace platform {

using ModuleHandle = void*;

// Loads a shared library by the exact name given. A name without a folder is
// looked up in the executable's folder first, then by the system's search.
ModuleHandle LoadModule(const char* name);
void* ModuleExport(ModuleHandle module, const char* exportName);
void UnloadModule(ModuleHandle module);

// The file name suffix of shared libraries (".so" here, ".dll" on Windows).
const char* ModuleSuffix();

// Loads by the bare name, then by the name with the suffix (cut to 511
// bytes), as the Windows loader is asked for a module; load is LoadModule or
// another loader with its signature.
ModuleHandle LoadModuleOrSuffixed(const char* name, ModuleHandle (*load)(const char*) = LoadModule);

// The program's arguments after its name, in UTF-8: main's argv on Linux;
// on Windows the wide command line, since main's argv is in the ANSI code
// page and loses every letter outside it.
std::vector<std::string> ProgramArguments(int argc, char** argv);

// The folder that holds the running executable, without a trailing "/".
std::string ExecutableDirectory();

// Creates one directory; true when it exists afterwards.
bool MakeDirectory(const char* path);

// The folder of the DejaVu faces the windows and the error box draw with,
// ending in a separator.
const char* FontFolder();

// The process's current directory; empty when it cannot be read.
std::string CurrentDirectory();

// True for an existing regular file (links followed).
bool IsRegularFile(const char* path);

// Files are named by UTF-8 paths everywhere in the program; these reach the
// system with its own encoding (wide names on Windows), so a game folder
// named outside ASCII works. "/" and "\\" both separate on Windows.
std::FILE* OpenFile(const char* path, const char* mode);

// Removes a file; true when no file of that name is left afterwards.
bool RemoveFile(const char* path);

// Renames a file over an existing one in one step.
bool MoveFileReplacing(const char* from, const char* to);

// Creates a folder and the missing folders above it; true when it exists
// afterwards.
bool MakeDirectories(const char* path);

// The size of an open file in bytes; 0 when it cannot be told.
std::uint64_t OpenFileSize(std::FILE* file);

// The report's line "caption: text" on standard error, alone: for an end
// the person asked for, where a box would keep the process waiting.
void WriteErrorLine(const char* caption, const char* text);

// A fatal report: one line "caption: text" on standard error, then, when a
// real display is in use, the system's modal error box or, where that cannot
// be shown, the platform's own. Returns once the box was dismissed; a quit
// request (SIGTERM) dismisses it too and still reaches the GUI loop.
void ShowErrorBox(const char* caption, const char* text);

// Tests replace the error box (not the standard-error line) with their own.
using ErrorBoxFn = void (*)(const char* caption, const char* text);
void SetErrorBoxHandler(ErrorBoxFn handler);

}  // namespace platform
