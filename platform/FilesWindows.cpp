#include "platform/Files.h"

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <cstring>
#include <string>

#include "platform/Text.h"
#include "platform/WideText.h"

// A Folder's handle points to its FolderState: the open directory and its
// full path. The directory is held open without delete sharing, and NTFS
// renames no folder with an open entry below it, so neither it nor a folder
// above it can be renamed or replaced while it is open: a full path under
// it stays inside it. Paths carry the "\\?\" prefix, so names are taken
// literally (no trailing dots dropped, no device names) and never cut at
// 260 characters.

namespace platform {

namespace {

constexpr int kNameAttempts = 100;
constexpr DWORD kFolderAccess = FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES | SYNCHRONIZE;
// No FILE_SHARE_DELETE: nobody may rename or remove the folder meanwhile.
constexpr DWORD kFolderSharing = FILE_SHARE_READ | FILE_SHARE_WRITE;
constexpr DWORD kAllSharing = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
// Seconds from 1601-01-01, where file times count from, to 1970-01-01.
constexpr std::int64_t kEpochDifference = 11644473600;
constexpr std::int64_t kTicksPerSecond = 10000000;

struct FolderState {
    HANDLE handle;
    std::wstring path;  // ends in "\"
};

FolderState& State(std::intptr_t handle) { return *reinterpret_cast<FolderState*>(handle); }

HANDLE FileHandle(std::intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

bool IsReservedDeviceName(const std::string& name) {
    static const char* const kDevices[] = {"CON",  "PRN",  "AUX",  "NUL",  "COM1", "COM2", "COM3", "COM4",
                                           "COM5", "COM6", "COM7", "COM8", "COM9", "LPT1", "LPT2", "LPT3",
                                           "LPT4", "LPT5", "LPT6", "LPT7", "LPT8", "LPT9"};
    std::string stem = name.substr(0, name.find('.'));
    while (!stem.empty() && stem.back() == ' ') {
        stem.pop_back();
    }
    for (const char* device : kDevices) {
        if (CompareNoCase(stem.c_str(), device) == 0) {
            return true;
        }
    }
    return false;
}

// One entry name that Windows keeps as it is given. Anything else would
// reach a different entry ("a:b" a stream of "a", "a\b" a path through an
// unchecked folder) or make one that ordinary programs cannot remove.
bool IsPlainName(const std::string& name) {
    if (name.empty() || name == "." || name == ".." || name.back() == '.' || name.back() == ' ') {
        return false;
    }
    for (char c : name) {
        if (static_cast<unsigned char>(c) < 0x20 || std::strchr("<>:\"/\\|?*", c)) {
            return false;
        }
    }
    return !IsReservedDeviceName(name);
}

// Empty for a folder that did not open, and for a name that is not plain.
std::optional<std::wstring> EntryPath(std::intptr_t folder, const std::string& name) {
    if (folder < 0 || !IsPlainName(name)) {
        return std::nullopt;
    }
    std::optional<std::wstring> wide = Widen(name);
    if (!wide) {
        return std::nullopt;
    }
    return State(folder).path + *wide;
}

// Symbolic links, junctions and their kind redirect; other reparse points
// (cloud placeholders, deduplicated files) are the files they stand for.
// An entry whose tag cannot be read counts as a link.
bool IsLink(DWORD attributes, DWORD tag) {
    return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) && (tag == 0 || IsReparseTagNameSurrogate(tag));
}

bool IsMissingError(DWORD error) { return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND; }

// Opens the entry itself, never what a link there leads to.
HANDLE OpenEntry(const std::wstring& path, DWORD access, DWORD sharing) {
    return CreateFileW(path.c_str(), access, sharing, nullptr, OPEN_EXISTING,
                       FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
}

bool AttributesOf(HANDLE handle, DWORD& attributes, DWORD& tag) {
    FILE_ATTRIBUTE_TAG_INFO info{};
    if (GetFileInformationByHandleEx(handle, FileAttributeTagInfo, &info, sizeof(info))) {
        attributes = info.FileAttributes;
        tag = info.ReparseTag;
        return true;
    }
    BY_HANDLE_FILE_INFORMATION fallback;
    if (!GetFileInformationByHandle(handle, &fallback)) {
        return false;
    }
    attributes = fallback.dwFileAttributes;
    tag = 0;
    return true;
}

// The entry's own attributes and reparse tag as its folder lists them,
// without opening it, so a file in use is seen as well.
bool ListedAttributes(const std::wstring& path, DWORD& attributes, DWORD& tag) {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(path.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return false;
    }
    FindClose(search);
    attributes = found.dwFileAttributes;
    tag = (attributes & FILE_ATTRIBUTE_REPARSE_POINT) ? found.dwReserved0 : 0;
    return true;
}

OpenResult OpenExistingChild(const std::wstring& path, HANDLE& handle, bool& missing) {
    handle = OpenEntry(path, kFolderAccess, kFolderSharing);
    if (handle == INVALID_HANDLE_VALUE) {
        missing = IsMissingError(GetLastError());
        return OpenResult::Failed;
    }
    // The listing is asked too: a compatibility layer (Wine) opens a host's
    // link to a folder as that folder and shows the link only there. Once
    // the handle is held, the entry can no longer be swapped.
    DWORD attributes = 0, tag = 0, listed = 0, listedTag = 0;
    OpenResult result = OpenResult::Failed;
    if (AttributesOf(handle, attributes, tag) && ListedAttributes(path, listed, listedTag)) {
        if (IsLink(attributes, tag) || IsLink(listed, listedTag)) {
            result = OpenResult::Link;
        } else if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
            result = OpenResult::Opened;
        }
    }
    if (result != OpenResult::Opened) {
        CloseHandle(handle);
        handle = INVALID_HANDLE_VALUE;
    }
    return result;
}

// Sets and clears attributes; the previous ones go to before when asked for.
bool ChangeAttributes(HANDLE handle, DWORD set, DWORD clear, DWORD* before = nullptr) {
    FILE_BASIC_INFO info{};
    if (!GetFileInformationByHandleEx(handle, FileBasicInfo, &info, sizeof(info))) {
        return false;
    }
    if (before) {
        *before = info.FileAttributes;
    }
    DWORD attributes = (info.FileAttributes | set) & ~clear;
    // Zero attributes and zero times mean "leave as they are".
    FILE_BASIC_INFO change{};
    change.FileAttributes = attributes ? attributes : FILE_ATTRIBUTE_NORMAL;
    return SetFileInformationByHandle(handle, FileBasicInfo, &change, sizeof(change)) != 0;
}

// The same for the entry itself, a link rather than what it leads to.
bool ChangeEntryAttributes(const std::wstring& path, DWORD set, DWORD clear, DWORD* before = nullptr) {
    HANDLE entry = OpenEntry(path, FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES, kAllSharing);
    if (entry == INVALID_HANDLE_VALUE) {
        return false;
    }
    bool changed = ChangeAttributes(entry, set, clear, before);
    CloseHandle(entry);
    return changed;
}

// Deletes a link to a folder, never the folder: only through a handle that
// shows the link itself. Wine opens a host's link as its folder, and a
// delete by path there removes the folder it leads to.
bool RemoveFolderLink(const std::wstring& path) {
    HANDLE link = OpenEntry(path, DELETE | FILE_READ_ATTRIBUTES, kAllSharing);
    if (link == INVALID_HANDLE_VALUE) {
        return false;
    }
    DWORD attributes = 0, tag = 0;
    bool removed = false;
    if (AttributesOf(link, attributes, tag) && IsLink(attributes, tag)) {
        FILE_DISPOSITION_INFO disposition{};
        disposition.DeleteFile = TRUE;
        removed = SetFileInformationByHandle(link, FileDispositionInfo, &disposition, sizeof(disposition)) != 0;
    }
    CloseHandle(link);
    return removed;
}

void RemoveTemporary(const std::wstring& path) {
    // A read-only file cannot be deleted.
    ChangeEntryAttributes(path, 0, FILE_ATTRIBUTE_READONLY);
    DeleteFileW(path.c_str());
}

}  // namespace

void Folder::Close() {
    if (m_handle >= 0) {
        FolderState* state = &State(m_handle);
        CloseHandle(state->handle);
        delete state;
        m_handle = -1;
    }
}

Folder Folder::Open(const std::string& path) {
    std::optional<std::wstring> wide = Widen(path);
    if (!wide) {
        return Folder();
    }
    std::optional<std::wstring> full = QueryWideText([&](wchar_t* buffer, DWORD size) {
        return GetFullPathNameW(wide->c_str(), size, buffer, nullptr);
    });
    if (!full) {
        return Folder();
    }
    HANDLE handle = CreateFileW(full->c_str(), kFolderAccess, kFolderSharing, nullptr, OPEN_EXISTING,
                                FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return Folder();
    }
    // The folder the links in the chosen path lead to now; later changes to
    // those links cannot move the work elsewhere.
    std::optional<std::wstring> final = QueryWideText([handle](wchar_t* buffer, DWORD size) {
        return GetFinalPathNameByHandleW(handle, buffer, size, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    });
    BY_HANDLE_FILE_INFORMATION info;
    if (!final || !GetFileInformationByHandle(handle, &info) ||
        !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        CloseHandle(handle);
        return Folder();
    }
    if (final->back() != L'\\') {
        *final += L'\\';
    }
    return Folder(reinterpret_cast<std::intptr_t>(new FolderState{handle, *final}));
}

OpenResult Folder::OpenChild(const std::string& name, Folder& child) const {
    std::optional<std::wstring> path = EntryPath(m_handle, name);
    if (!path) {
        return OpenResult::Failed;
    }
    HANDLE handle = INVALID_HANDLE_VALUE;
    bool missing = false;
    OpenResult result = OpenExistingChild(*path, handle, missing);
    // Made by someone else in between, or planted as a link: the second
    // look tells which.
    if (result == OpenResult::Failed && missing &&
        (CreateDirectoryW(path->c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS)) {
        result = OpenExistingChild(*path, handle, missing);
    }
    if (result == OpenResult::Opened) {
        child = Folder(reinterpret_cast<std::intptr_t>(new FolderState{handle, *path + L"\\"}));
    }
    return result;
}

EntryInfo Folder::Inspect(const std::string& name) const {
    EntryInfo entry;
    std::optional<std::wstring> path = EntryPath(m_handle, name);
    if (!path) {
        entry.kind = EntryKind::Other;
        return entry;
    }
    DWORD attributes = 0, tag = 0;
    if (!ListedAttributes(*path, attributes, tag)) {
        entry.kind = IsMissingError(GetLastError()) ? EntryKind::Missing : EntryKind::Other;
        return entry;
    }
    bool folder = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    if (IsLink(attributes, tag)) {
        entry.kind = EntryKind::Link;
    } else {
        entry.kind = folder ? EntryKind::Folder : EntryKind::File;
    }
    // The read-only attribute is all there is of a file's permissions here;
    // a folder's means nothing to writing in it.
    entry.ownerWritable = folder || !(attributes & FILE_ATTRIBUTE_READONLY);
    entry.permissions = folder ? 0755 : entry.ownerWritable ? 0644 : 0444;
    return entry;
}

std::optional<std::uint64_t> Folder::FreeSpace() const {
    ULARGE_INTEGER available;
    if (m_handle < 0 || !GetDiskFreeSpaceExW(State(m_handle).path.c_str(), &available, nullptr, nullptr)) {
        return std::nullopt;
    }
    return available.QuadPart;
}

// Windows has no executable bit: whether a file runs is its name's business.
NewFile::NewFile(const Folder& folder, bool /*executable*/) : m_folder(folder.m_handle) {
    if (m_folder < 0) {
        return;
    }
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        m_name = ".upd-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(counter.fetch_add(1));
        std::wstring path = State(m_folder).path + *Widen(m_name);
        HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE | FILE_READ_ATTRIBUTES, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            m_handle = reinterpret_cast<std::intptr_t>(file);
            return;
        }
        if (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS) {
            return;
        }
    }
}

NewFile::~NewFile() { Discard(); }

void NewFile::Discard() {
    if (m_handle >= 0) {
        CloseHandle(FileHandle(m_handle));
        m_handle = -1;
        RemoveTemporary(State(m_folder).path + *Widen(m_name));
    }
}

bool NewFile::Write(const void* data, std::size_t size) {
    const char* bytes = static_cast<const char*>(data);
    while (size > 0) {
        DWORD chunk = size < (1u << 30) ? static_cast<DWORD>(size) : (1u << 30);
        DWORD written = 0;
        if (!WriteFile(FileHandle(m_handle), bytes, chunk, &written, nullptr) || written == 0) {
            return false;
        }
        bytes += written;
        size -= written;
    }
    return true;
}

// Only the owner's write bit has a counterpart: the read-only attribute.
// It is set on the open file at once, as a mode would be; writing through
// the handle already open stays allowed.
bool NewFile::SetPermissions(unsigned permissions) {
    bool writable = (permissions & 0200) != 0;
    return ChangeAttributes(FileHandle(m_handle), writable ? 0 : FILE_ATTRIBUTE_READONLY,
                            writable ? FILE_ATTRIBUTE_READONLY : 0);
}

bool NewFile::SetModificationTime(std::int64_t secondsSinceEpoch) {
    if (secondsSinceEpoch < -kEpochDifference ||
        secondsSinceEpoch > INT64_MAX / kTicksPerSecond - kEpochDifference) {
        return false;
    }
    auto ticks = static_cast<std::uint64_t>((secondsSinceEpoch + kEpochDifference) * kTicksPerSecond);
    FILETIME time;
    time.dwLowDateTime = static_cast<DWORD>(ticks);
    time.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
    return SetFileTime(FileHandle(m_handle), nullptr, nullptr, &time) != 0;
}

bool NewFile::Commit(const std::string& name) {
    if (m_handle < 0) {
        return false;
    }
    HANDLE file = FileHandle(m_handle);
    m_handle = -1;
    std::wstring temporary = State(m_folder).path + *Widen(m_name);
    bool flushed = FlushFileBuffers(file) != 0;
    bool closed = CloseHandle(file) != 0;
    std::optional<std::wstring> target = EntryPath(m_folder, name);
    if (!flushed || !closed || !target) {
        RemoveTemporary(temporary);
        return false;
    }
    // A rename replaces a read-only file elsewhere; here it must be made
    // writable first, and is made read-only again if the rename fails.
    DWORD before = 0;
    bool unprotected = false;
    DWORD attributes = 0, tag = 0;
    if (ListedAttributes(*target, attributes, tag)) {
        if ((attributes & FILE_ATTRIBUTE_DIRECTORY) && IsLink(attributes, tag)) {
            // A link to a folder is replaced like any other link, which
            // takes removing it first.
            if (!RemoveFolderLink(*target)) {
                RemoveTemporary(temporary);
                return false;
            }
        } else if (attributes & FILE_ATTRIBUTE_READONLY) {
            unprotected = ChangeEntryAttributes(*target, 0, FILE_ATTRIBUTE_READONLY, &before);
        }
    }
    if (MoveFileExW(temporary.c_str(), target->c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return true;
    }
    if (unprotected) {
        ChangeEntryAttributes(*target, before & FILE_ATTRIBUTE_READONLY, 0);
    }
    RemoveTemporary(temporary);
    return false;
}

}  // namespace platform
