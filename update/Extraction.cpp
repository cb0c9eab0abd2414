#include "update/Extraction.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zip.h>

#include <atomic>
#include <cctype>
#include <cerrno>
#include <string_view>

#include "platform/Platform.h"
#include "services/IFileSystem.h"
#include "services/ServicePointers.h"
#include "update/MessageFormat.h"
#include "update/Publishers.h"
#include "update/ZipMemberCopy.h"

namespace update {

namespace {

constexpr zip_uint32_t kDosDirectoryAttribute = 0x10;
constexpr int kTempNameAttempts = 100;

std::string ToDiskSeparators(std::string path) {
    for (char& c : path) {
        if (c == '\\') {
            c = '/';
        }
    }
    return path;
}

std::string ParentOf(const std::string& path) {
    std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

// Closes the reader on every way out of an unpacking, so that a failed
// update leaves the archive free to be removed.
class ZipReader {
public:
    explicit ZipReader(const char* path) {
        int error = 0;
        m_archive = zip_open(path, ZIP_RDONLY, &error);
    }
    ~ZipReader() {
        if (m_archive) {
            zip_discard(m_archive);
        }
    }
    ZipReader(const ZipReader&) = delete;
    ZipReader& operator=(const ZipReader&) = delete;

    zip_t* Get() const { return m_archive; }

private:
    zip_t* m_archive = nullptr;
};

bool IsDirectoryMember(zip_t* archive, zip_uint64_t index, const std::string& name) {
    if (!name.empty() && (name.back() == '/' || name.back() == '\\')) {
        return true;
    }
    zip_uint8_t system = 0;
    zip_uint32_t attributes = 0;
    return zip_file_get_external_attributes(archive, index, 0, &system, &attributes) == 0 &&
           (attributes & kDosDirectoryAttribute) != 0;
}

// Permissions for a new file: executable when the archive says so (members
// written on Unix carry their mode), otherwise plain; the umask applies.
mode_t CreationMode(zip_t* archive, zip_uint64_t index) {
    zip_uint8_t system = 0;
    zip_uint32_t attributes = 0;
    if (zip_file_get_external_attributes(archive, index, 0, &system, &attributes) == 0 &&
        system == ZIP_OPSYS_UNIX && ((attributes >> 16) & 0111) != 0) {
        return 0777;
    }
    return 0666;
}

// A new, exclusively created file in the target's folder, so that the
// final rename stays on one file system.
int CreateTempBeside(const std::string& target, mode_t mode, std::string& tempPath) {
    static std::atomic<unsigned> counter{0};
    std::string folder = ParentOf(target);
    for (int attempt = 0; attempt < kTempNameAttempts; ++attempt) {
        tempPath = folder + "/.upd-" + std::to_string(getpid()) + "-" + std::to_string(counter.fetch_add(1));
        int fd = open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0 || errno != EEXIST) {
            return fd;
        }
    }
    return -1;
}

bool FinishFile(int fd, const std::string& target, const zip_stat_t& info) {
    // A replaced file keeps its permissions, as an in-place overwrite would.
    struct stat existing {};
    if (stat(target.c_str(), &existing) == 0 && S_ISREG(existing.st_mode) &&
        fchmod(fd, existing.st_mode & 07777) != 0) {
        return false;
    }
    if (info.valid & ZIP_STAT_MTIME) {
        struct timespec times[2] = {{0, UTIME_NOW}, {info.mtime, 0}};
        if (futimens(fd, times) != 0) {
            return false;
        }
    }
    return true;
}

bool WriteMember(zip_t* archive, zip_uint64_t index, const zip_stat_t& info, const std::string& target,
                 MemberBuffers& buffers) {
    std::string tempPath;
    int fd = CreateTempBeside(target, CreationMode(archive, index), tempPath);
    if (fd < 0) {
        return false;
    }
    bool written = CopyMemberTo(archive, index, info, fd, buffers);
    written = written && FinishFile(fd, target, info);
    written = close(fd) == 0 && written;
    written = written && rename(tempPath.c_str(), target.c_str()) == 0;
    if (!written) {
        unlink(tempPath.c_str());
    }
    return written;
}

}  // namespace

bool IsSafeMemberName(const std::string& name) {
    std::string path = ToDiskSeparators(name);
    if (!path.empty() && path[0] == '/') {
        return false;
    }
    if (path.size() >= 2 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':') {
        return false;
    }
    std::string_view rest(path);
    while (!rest.empty()) {
        std::size_t slash = rest.find('/');
        if (rest.substr(0, slash) == "..") {
            return false;
        }
        rest = slash == std::string_view::npos ? std::string_view() : rest.substr(slash + 1);
    }
    return true;
}

bool MakeDirectories(const std::string& path) {
    for (std::size_t i = 1; i < path.size(); ++i) {
        if (path[i] == '/' || path[i] == '\\') {
            platform::MakeDirectory(path.substr(0, i).c_str());
        }
    }
    return platform::MakeDirectory(path.c_str());
}

bool UnpackArchive(const char* archivePath, const char* destination) {
    ZipReader reader(archivePath);
    zip_t* archive = reader.Get();
    if (!archive) {
        return false;
    }
    std::string base = destination;
    if (!base.empty() && base.back() != '/') {
        base += '/';
    }
    MemberBuffers buffers;
    // Members of one folder usually follow each other; creating the folder
    // chain once per folder instead of once per file saves many system calls.
    std::string lastFolder;
    zip_int64_t count = zip_get_num_entries(archive, 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        auto index = static_cast<zip_uint64_t>(i);
        zip_stat_t info;
        zip_stat_init(&info);
        if (zip_stat_index(archive, index, 0, &info) != 0 || !(info.valid & ZIP_STAT_NAME)) {
            continue;
        }
        std::string name = info.name;
        if (!IsSafeMemberName(name)) {
            return false;
        }
        std::string target = ToDiskSeparators(base + name);
        if (target.size() >= static_cast<std::size_t>(kMaxPath)) {
            return false;
        }
        if (IsDirectoryMember(archive, index, name)) {
            MakeDirectories(target);
            continue;
        }
        std::string folder = ParentOf(target);
        if (folder != lastFolder) {
            if (!folder.empty()) {
                MakeDirectories(folder);
            }
            lastFolder = folder;
        }
        if (!WriteMember(archive, index, info, target, buffers)) {
            return false;
        }
    }
    return true;
}

bool ExtractArchive(const std::string& archiveFileName) {
    IFileSystem* fileSystem = vgui2::filesystem();
    char archivePath[kMaxPath];
    if (!fileSystem || !fileSystem->GetLocalPath(archiveFileName.c_str(), archivePath, sizeof(archivePath))) {
        PublishStatus("Failed to resolve archive path.", true, 1.0f);
        return false;
    }
    char destination[kMaxPath];
    if (!fileSystem->GetCurrentDirectory(destination, sizeof(destination))) {
        PublishStatus("Failed to resolve destination path.", true, 1.0f);
        return false;
    }
    if (!UnpackArchive(archivePath, destination)) {
        PublishStatus(TempFormat("Failed to extract %s.\n", archivePath), true, 1.0f);
        return false;
    }
    return true;
}

}  // namespace update
