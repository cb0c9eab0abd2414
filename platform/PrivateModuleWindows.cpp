#include "platform/PrivateModule.h"

#include <windows.h>

#include <mutex>
#include <string>

#include "platform/WideText.h"

// Windows keeps a loaded module's file from being deleted. The copies live
// in a folder of this process under the temporary folder; each new copy
// first deletes the ones no longer loaded (and the folder, once empty), and
// so does the end of the process. A copy still loaded then stays behind in
// the temporary folder, which the system's clean-up empties.

namespace platform {

namespace {

bool HasSeparator(const std::string& name) { return name.find_first_of("\\/") != std::string::npos; }

// The file LoadModule would load first, or empty when only the system's
// search would find one. The loader adds ".dll" to a name without an
// extension, so that is the file such a name stands for.
std::string ModuleFile(const std::string& name) {
    std::string path = HasSeparator(name) ? name : ExecutableDirectory() + "\\" + name;
    if (IsRegularFile(path.c_str())) {
        return path;
    }
    std::size_t base = path.find_last_of("\\/");
    bool hasExtension = path.find('.', base == std::string::npos ? 0 : base + 1) != std::string::npos;
    path += ModuleSuffix();
    return !hasExtension && IsRegularFile(path.c_str()) ? path : std::string();
}

// Still loaded from an earlier load in this process. The loader compares
// names with "\" only.
bool IsResident(std::wstring path) {
    for (wchar_t& c : path) {
        if (c == L'/') {
            c = L'\\';
        }
    }
    HMODULE module = nullptr;
    return GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT, path.c_str(), &module) != 0;
}

std::wstring CopyFolder() {
    wchar_t temporary[MAX_PATH + 1];
    DWORD length = GetTempPathW(MAX_PATH + 1, temporary);
    if (length == 0 || length > MAX_PATH) {
        return std::wstring();
    }
    return std::wstring(temporary, length) + L"qlm-module-" + std::to_wstring(GetCurrentProcessId());
}

// Deletes what is no longer loaded; a loaded copy refuses, and stays.
void RemoveUnloadedCopies(const std::wstring& folder) {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return;
    }
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
            DeleteFileW((folder + L"\\" + found.cFileName).c_str());
        }
    } while (FindNextFileW(search, &found));
    FindClose(search);
    RemoveDirectoryW(folder.c_str());
}

// The copies unloaded since the last load go at the end of the process.
struct SweepAtExit {
    std::wstring folder;
    ~SweepAtExit() { RemoveUnloadedCopies(folder); }
};

std::wstring BaseName(const std::wstring& path) { return path.substr(path.find_last_of(L"\\/") + 1); }

}  // namespace

ModuleHandle LoadModuleCopy(const char* name) {
    if (!name || !*name) {
        return nullptr;
    }
    std::string source = ModuleFile(name);
    if (source.empty()) {
        return HasSeparator(name) ? nullptr : LoadModule(name);
    }
    std::optional<std::wstring> wideSource = Widen(source);
    if (!wideSource || !IsResident(*wideSource)) {
        return LoadModule(source.c_str());
    }
    std::wstring folder = CopyFolder();
    if (folder.empty()) {
        return LoadModule(source.c_str());
    }
    // One load at a time: the sweep must not delete a copy made by another
    // thread before that thread has loaded it.
    static std::mutex s_copying;
    std::lock_guard<std::mutex> lock(s_copying);
    RemoveUnloadedCopies(folder);
    if (!CreateDirectoryW(folder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
        return LoadModule(source.c_str());
    }
    static SweepAtExit s_sweep{folder};
    // The loader knows a module by its path; a counter keeps the path new.
    static unsigned s_copies = 0;
    std::wstring copy = folder + L"\\" + std::to_wstring(s_copies++) + L"-" + BaseName(*wideSource);
    if (!CopyFileW(wideSource->c_str(), copy.c_str(), TRUE)) {
        RemoveDirectoryW(folder.c_str());
        return LoadModule(source.c_str());
    }
    // Its own dependencies are the ones beside the executable, which the
    // normal search looks at first.
    HMODULE module = LoadLibraryW(copy.c_str());
    if (!module) {
        DeleteFileW(copy.c_str());
        RemoveDirectoryW(folder.c_str());
    }
    return module;
}

}  // namespace platform
