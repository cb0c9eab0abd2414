// Shared test helpers: every test binary gets a connected key-values memory
// service before its first test, and tests that touch the disk work in a
// fresh temporary folder that is removed afterwards.
#pragma once

#include <filesystem>
#include <string>

namespace testsupport {

// A new empty folder under the system's temporary folder; removed with its
// contents on destruction. Optionally the current directory while it lives.
class TempDir {
public:
    explicit TempDir(bool enter = false);
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return m_path; }
    std::string File(const std::string& relative) const { return m_path + "/" + relative; }

private:
    std::string m_path;
    std::string m_previousDirectory;
};

std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& contents);
bool PathExists(const std::string& path);

// Paths as the program names files, in UTF-8 on both systems (the native
// narrow form on Windows is the ANSI code page).
std::string Utf8(const std::filesystem::path& path);
std::filesystem::path PathOf(const std::string& utf8);

// Sets an environment variable of this process; a null value removes it.
void SetEnvironment(const char* name, const char* value);

// Starts the real SDL surface (offscreen unless a test asked for a display)
// and points the executable's service pointers at the real services, as
// start-up would. False when the surface cannot start.
bool ConnectRealServices();

}  // namespace testsupport
