#include "update/Extraction.h"

#include <zip.h>

#include <cctype>
#include <string_view>
#include <vector>

#include "platform/Files.h"
#include "services/IFileSystem.h"
#include "services/ServicePointers.h"
#include "update/ArchiveSource.h"
#include "update/MessageFormat.h"
#include "update/Publishers.h"
#include "update/ZipDirectoryScan.h"
#include "update/ZipMemberCopy.h"

namespace update {

namespace {

constexpr zip_uint32_t kDosDirectoryAttribute = 0x10;

std::string ToDiskSeparators(std::string path) {
    for (char& c : path) {
        if (c == '\\') {
            c = '/';
        }
    }
    return path;
}

// The names along a path, without empty and "." parts.
std::vector<std::string> PathParts(const std::string& path) {
    std::vector<std::string> parts;
    std::string_view rest(path);
    while (!rest.empty()) {
        std::size_t slash = rest.find('/');
        std::string_view part = rest.substr(0, slash);
        if (!part.empty() && part != ".") {
            parts.emplace_back(part);
        }
        rest = slash == std::string_view::npos ? std::string_view() : rest.substr(slash + 1);
    }
    return parts;
}

// Closes the reader on every way out of an unpacking, so that a failed
// update leaves the archive free to be removed.
class ZipReader {
public:
    explicit ZipReader(const char* path) {
        zip_source_t* source = OpenArchiveSource(path);
        if (!source) {
            return;
        }
        zip_error_t error;
        zip_error_init(&error);
        m_archive = zip_open_from_source(source, ZIP_RDONLY, &error);
        zip_error_fini(&error);
        // An archive that failed to open leaves its source to the caller.
        if (!m_archive) {
            zip_source_free(source);
        }
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

// Members written on Unix carry their mode; an executable one stays
// executable. The umask applies as to any new file.
bool IsExecutableMember(zip_t* archive, zip_uint64_t index) {
    zip_uint8_t system = 0;
    zip_uint32_t attributes = 0;
    return zip_file_get_external_attributes(archive, index, 0, &system, &attributes) == 0 &&
           system == ZIP_OPSYS_UNIX && ((attributes >> 16) & 0111) != 0;
}

// Enters the folders below the destination that members go into, one name
// at a time and creating what is missing, never through a link. The last
// folder reached stays open: members of one folder usually follow each
// other, and walking the chain once per folder instead of once per file
// saves many system calls.
class FolderWalker {
public:
    explicit FolderWalker(const platform::Folder& destination) : m_destination(destination) {}

    platform::OpenResult Enter(const std::vector<std::string>& parts, const platform::Folder*& folder) {
        if (parts.empty()) {
            folder = &m_destination;
            return platform::OpenResult::Opened;
        }
        if (parts != m_parts || !m_last.IsOpen()) {
            m_parts.clear();
            platform::OpenResult result = Walk(parts);
            if (result != platform::OpenResult::Opened) {
                return result;
            }
            m_parts = parts;
        }
        folder = &m_last;
        return platform::OpenResult::Opened;
    }

private:
    platform::OpenResult Walk(const std::vector<std::string>& parts) {
        const platform::Folder* parent = &m_destination;
        platform::Folder current;
        for (const std::string& part : parts) {
            platform::Folder child;
            platform::OpenResult result = parent->OpenChild(part, child);
            if (result != platform::OpenResult::Opened) {
                return result;
            }
            current = std::move(child);
            parent = &current;
        }
        m_last = std::move(current);
        return platform::OpenResult::Opened;
    }

    const platform::Folder& m_destination;
    std::vector<std::string> m_parts;
    platform::Folder m_last;
};

bool WriteMember(zip_t* archive, zip_uint64_t index, const zip_stat_t& info, const platform::Folder& folder,
                 const std::string& name, MemberBuffers& buffers) {
    // A read-only file is one the user or the game protects; replacing it
    // by a rename would go around that.
    platform::EntryInfo existing = folder.Inspect(name);
    if (existing.kind == platform::EntryKind::Folder ||
        (existing.kind == platform::EntryKind::File && !existing.ownerWritable)) {
        return false;
    }
    platform::NewFile file(folder, IsExecutableMember(archive, index));
    if (!file.IsOpen()) {
        return false;
    }
    ByteSink sink = [&file](const unsigned char* data, std::size_t size) { return file.Write(data, size); };
    // A replaced file keeps its permissions, as an in-place overwrite would.
    return CopyMemberTo(archive, index, info, sink, buffers) &&
           (existing.kind != platform::EntryKind::File || file.SetPermissions(existing.permissions)) &&
           (!(info.valid & ZIP_STAT_MTIME) || file.SetModificationTime(info.mtime)) && file.Commit(name);
}

// What the directory scan refuses, and an archive that declares more than
// the destination's file system has room for, fail before anything is
// written. Replaced files would free some room, but only once their new
// versions are complete, so the whole declared size has to fit.
bool AcceptArchive(const char* archivePath, const platform::Folder& destination, std::uint64_t& entries) {
    std::optional<ZipDirectorySummary> summary = ScanZipDirectory(archivePath);
    if (!summary) {
        return false;
    }
    std::optional<std::uint64_t> freeSpace = destination.FreeSpace();
    if (freeSpace && summary->declaredBytes > *freeSpace) {
        return false;
    }
    entries = summary->entries;
    return true;
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

bool UnpackArchive(const char* archivePath, const char* destination) {
    std::string base = destination;
    platform::Folder destinationFolder = platform::Folder::Open(base.empty() ? "." : base);
    std::uint64_t entries = 0;
    if (!destinationFolder.IsOpen() || !AcceptArchive(archivePath, destinationFolder, entries)) {
        return false;
    }
    ZipReader reader(archivePath);
    zip_t* archive = reader.Get();
    if (!archive || zip_get_num_entries(archive, 0) != static_cast<zip_int64_t>(entries)) {
        return false;
    }
    if (!base.empty() && base.back() != '/') {
        base += '/';
    }
    MemberBuffers buffers;
    FolderWalker walker(destinationFolder);
    for (zip_uint64_t index = 0; index < entries; ++index) {
        zip_stat_t info;
        zip_stat_init(&info);
        if (zip_stat_index(archive, index, 0, &info) != 0 || !(info.valid & ZIP_STAT_NAME)) {
            continue;
        }
        std::string name = info.name;
        if (!IsSafeMemberName(name) || ToDiskSeparators(base + name).size() >= static_cast<std::size_t>(kMaxPath)) {
            return false;
        }
        std::vector<std::string> parts = PathParts(ToDiskSeparators(name));
        const platform::Folder* folder = nullptr;
        if (IsDirectoryMember(archive, index, name)) {
            // A folder that cannot be made shows when a file goes into it;
            // a link where a folder should be is refused at once.
            if (walker.Enter(parts, folder) == platform::OpenResult::Link) {
                return false;
            }
            continue;
        }
        if (parts.empty()) {
            return false;
        }
        std::string fileName = parts.back();
        parts.pop_back();
        if (walker.Enter(parts, folder) != platform::OpenResult::Opened ||
            !WriteMember(archive, index, info, *folder, fileName, buffers)) {
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
