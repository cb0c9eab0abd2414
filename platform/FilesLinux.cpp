#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <atomic>

#include "platform/Files.h"

namespace platform {

namespace {

constexpr int kNameAttempts = 100;
constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;

int Fd(std::intptr_t handle) { return static_cast<int>(handle); }

// Opens a child folder without following a link at its name; ELOOP and
// ENOTDIR both arise from a link there, so the entry itself decides.
OpenResult OpenExistingChild(int parent, const std::string& name, int& fd) {
    fd = openat(parent, name.c_str(), kFolderFlags | O_NOFOLLOW);
    if (fd >= 0) {
        return OpenResult::Opened;
    }
    struct stat info {};
    if (fstatat(parent, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(info.st_mode)) {
        return OpenResult::Link;
    }
    return OpenResult::Failed;
}

}  // namespace

void Folder::Close() {
    if (m_handle >= 0) {
        close(Fd(m_handle));
        m_handle = -1;
    }
}

Folder Folder::Open(const std::string& path) { return Folder(open(path.c_str(), kFolderFlags)); }

OpenResult Folder::OpenChild(const std::string& name, Folder& child) const {
    int fd = -1;
    OpenResult result = OpenExistingChild(Fd(m_handle), name, fd);
    // EEXIST: made by someone else in between, or planted as a link; the
    // second look tells which.
    if (result == OpenResult::Failed && (mkdirat(Fd(m_handle), name.c_str(), 0777) == 0 || errno == EEXIST)) {
        result = OpenExistingChild(Fd(m_handle), name, fd);
    }
    if (result == OpenResult::Opened) {
        child = Folder(fd);
    }
    return result;
}

EntryInfo Folder::Inspect(const std::string& name) const {
    EntryInfo entry;
    struct stat info {};
    if (fstatat(Fd(m_handle), name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
        entry.kind = errno == ENOENT ? EntryKind::Missing : EntryKind::Other;
        return entry;
    }
    if (S_ISREG(info.st_mode)) {
        entry.kind = EntryKind::File;
    } else if (S_ISDIR(info.st_mode)) {
        entry.kind = EntryKind::Folder;
    } else if (S_ISLNK(info.st_mode)) {
        entry.kind = EntryKind::Link;
    } else {
        entry.kind = EntryKind::Other;
    }
    entry.permissions = info.st_mode & 07777;
    entry.ownerWritable = (info.st_mode & S_IWUSR) != 0;
    return entry;
}

std::optional<std::uint64_t> Folder::FreeSpace() const {
    struct statvfs info {};
    if (fstatvfs(Fd(m_handle), &info) != 0) {
        return std::nullopt;
    }
    return static_cast<std::uint64_t>(info.f_bavail) * info.f_frsize;
}

NewFile::NewFile(const Folder& folder, bool executable) : m_folder(folder.m_handle) {
    static std::atomic<unsigned> counter{0};
    mode_t mode = executable ? 0777 : 0666;
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        m_name = ".upd-" + std::to_string(getpid()) + "-" + std::to_string(counter.fetch_add(1));
        int fd = openat(Fd(m_folder), m_name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
        if (fd >= 0 || errno != EEXIST) {
            m_handle = fd;
            return;
        }
    }
}

NewFile::~NewFile() { Discard(); }

void NewFile::Discard() {
    if (m_handle >= 0) {
        close(Fd(m_handle));
        m_handle = -1;
        unlinkat(Fd(m_folder), m_name.c_str(), 0);
    }
}

bool NewFile::Write(const void* data, std::size_t size) {
    const char* bytes = static_cast<const char*>(data);
    while (size > 0) {
        ssize_t written = write(Fd(m_handle), bytes, size);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        bytes += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

bool NewFile::SetPermissions(unsigned permissions) { return fchmod(Fd(m_handle), permissions & 07777) == 0; }

bool NewFile::SetModificationTime(std::int64_t secondsSinceEpoch) {
    struct timespec times[2] = {{0, UTIME_NOW}, {static_cast<time_t>(secondsSinceEpoch), 0}};
    return futimens(Fd(m_handle), times) == 0;
}

bool NewFile::Commit(const std::string& name) {
    if (m_handle < 0) {
        return false;
    }
    int fd = Fd(m_handle);
    m_handle = -1;
    bool committed = close(fd) == 0 && renameat(Fd(m_folder), m_name.c_str(), Fd(m_folder), name.c_str()) == 0;
    if (!committed) {
        unlinkat(Fd(m_folder), m_name.c_str(), 0);
    }
    return committed;
}

}  // namespace platform
