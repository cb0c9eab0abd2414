#include "platform/Platform.h"

#include <windows.h>
#include <shellapi.h>

#include <io.h>
#include <string.h>
#include <stdio.h>

#include "platform/Process.h"
#include "platform/WideText.h"

namespace platform {

namespace {

bool HasSeparator(const char* name) { return strpbrk(name, "\\/") != nullptr; }

// The loader takes only "\" in a path.
std::optional<std::wstring> LoaderName(const char* name) {
    std::optional<std::wstring> wide = Widen(name);
    if (wide) {
        for (wchar_t& c : *wide) {
            if (c == L'/') {
                c = L'\\';
            }
        }
    }
    return wide;
}

std::size_t LastSeparator(const std::string& path) { return path.find_last_of("\\/"); }

// The attributes of what a path leads to, through a link; INVALID_FILE_ATTRIBUTES when nothing.
DWORD FollowedAttributes(const wchar_t* path) {
    DWORD attributes = GetFileAttributesW(path);
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        return attributes;
    }
    HANDLE target = CreateFileW(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (target == INVALID_HANDLE_VALUE) {
        return INVALID_FILE_ATTRIBUTES;
    }
    BY_HANDLE_FILE_INFORMATION information;
    bool known = GetFileInformationByHandle(target, &information) != 0;
    CloseHandle(target);
    return known ? information.dwFileAttributes : INVALID_FILE_ATTRIBUTES;
}

bool IsDirectory(const wchar_t* path) {
    DWORD attributes = FollowedAttributes(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

ModuleHandle LoadModule(const char* name) {
    if (!name || !*name) {
        return nullptr;
    }
    if (!HasSeparator(name)) {
        std::string local = ExecutableDirectory() + "\\" + name;
        std::optional<std::wstring> wideLocal = LoaderName(local.c_str());
        if (wideLocal && IsRegularFile(local.c_str())) {
            // The module's own dependencies are looked for beside it.
            if (HMODULE module = LoadLibraryExW(wideLocal->c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH)) {
                return module;
            }
        }
    }
    std::optional<std::wstring> wide = LoaderName(name);
    return wide ? LoadLibraryW(wide->c_str()) : nullptr;
}

void* ModuleExport(ModuleHandle module, const char* exportName) {
    if (!module) {
        return nullptr;
    }
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(module), exportName));
}

void UnloadModule(ModuleHandle module) {
    if (module) {
        FreeLibrary(static_cast<HMODULE>(module));
    }
}

const char* ModuleSuffix() { return ".dll"; }

std::vector<std::string> ProgramArguments(int, char**) {
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> arguments;
    for (int at = 1; wide && at < count; ++at) {
        arguments.push_back(NarrowReplacing(wide[at]));
    }
    LocalFree(wide);
    return arguments;
}

std::string ExecutableDirectory() {
    std::string path = OwnExecutablePath();
    std::size_t separator = LastSeparator(path);
    if (separator == std::string::npos) {
        return ".";
    }
    // "C:" alone would name the drive's current folder, not its root.
    if (separator > 0 && path[separator - 1] == ':') {
        return path.substr(0, separator + 1);
    }
    return path.substr(0, separator);
}

bool MakeDirectory(const char* path) {
    std::optional<std::wstring> wide = Widen(path);
    if (!wide) {
        return false;
    }
    return CreateDirectoryW(wide->c_str(), nullptr) || IsDirectory(wide->c_str());
}

const char* FontFolder() {
    static const std::string folder = ExecutableDirectory() + "\\fonts\\";
    return folder.c_str();
}

std::string CurrentDirectory() {
    std::optional<std::wstring> current =
        QueryWideText([](wchar_t* buffer, DWORD size) { return GetCurrentDirectoryW(size, buffer); });
    std::optional<std::string> narrow = current ? Narrow(*current) : std::nullopt;
    return narrow.value_or(std::string());
}

bool IsRegularFile(const char* path) {
    std::optional<std::wstring> wide = Widen(path);
    if (!wide) {
        return false;
    }
    DWORD attributes = FollowedAttributes(wide->c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::FILE* OpenFile(const char* path, const char* mode) {
    std::optional<std::wstring> widePath = Widen(path);
    std::optional<std::wstring> wideMode = Widen(mode);
    return widePath && wideMode ? _wfopen(widePath->c_str(), wideMode->c_str()) : nullptr;
}

bool RemoveFile(const char* path) {
    std::optional<std::wstring> wide = Widen(path);
    if (!wide) {
        return false;
    }
    if (DeleteFileW(wide->c_str())) {
        return true;
    }
    DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

bool MoveFileReplacing(const char* from, const char* to) {
    std::optional<std::wstring> wideFrom = Widen(from);
    std::optional<std::wstring> wideTo = Widen(to);
    return wideFrom && wideTo &&
           MoveFileExW(wideFrom->c_str(), wideTo->c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
}

bool MakeDirectories(const char* path) {
    std::string partial(path);
    // Every separator after the first character ends a folder to make. A
    // prefix that is a drive or a share cannot be made and need not be: a
    // folder below that cannot be made shows in the last step.
    for (std::size_t separator = partial.find_first_of("\\/", 1); separator != std::string::npos;
         separator = partial.find_first_of("\\/", separator + 1)) {
        char kept = partial[separator];
        partial[separator] = '\0';
        MakeDirectory(partial.c_str());
        partial[separator] = kept;
    }
    return MakeDirectory(path);
}

std::uint64_t OpenFileSize(std::FILE* file) {
    if (!file) {
        return 0;
    }
    __int64 size = _filelengthi64(_fileno(file));
    return size < 0 ? 0 : static_cast<std::uint64_t>(size);
}

}  // namespace platform
