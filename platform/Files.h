// Writing below a folder without ever leaving it: folders are opened one
// name at a time relative to an open parent and a link (a reparse point on
// Windows) on the way is refused rather than followed, new files are made
// under names of their own and renamed over their targets inside the same
// open folder. Whatever is renamed or planted in the tree while this runs,
// no write can land outside the folder it started from.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

enum class EntryKind { Missing, File, Folder, Link, Other };

struct EntryInfo {
    EntryKind kind = EntryKind::Missing;
    // The owner may write it; decided by the file's own permission bits, not
    // by asking whether this process could, so that a file marked read-only
    // counts as such also for an administrator.
    bool ownerWritable = false;
    unsigned permissions = 0;
};

enum class OpenResult { Opened, Link, Failed };

class Folder {
public:
    Folder() = default;
    ~Folder();
    Folder(Folder&& other) noexcept;
    Folder& operator=(Folder&& other) noexcept;
    Folder(const Folder&) = delete;
    Folder& operator=(const Folder&) = delete;

    // The folder the user chose; links in this path are the user's own and
    // are followed.
    static Folder Open(const std::string& path);

    bool IsOpen() const { return m_handle >= 0; }

    // The named entry as a folder, created when missing. A link there is
    // refused (Link) and never followed; a file there fails.
    OpenResult OpenChild(const std::string& name, Folder& child) const;

    // The named entry itself; a link is reported as a link.
    EntryInfo Inspect(const std::string& name) const;

    // Bytes an unprivileged writer may still use on this folder's file system.
    std::optional<std::uint64_t> FreeSpace() const;

private:
    friend class NewFile;
    explicit Folder(std::intptr_t handle) : m_handle(handle) {}
    void Close();

    std::intptr_t m_handle = -1;
};

// A file created under a fresh name in a folder, filled, then renamed over
// its target in one step. Until then the target is untouched; a NewFile that
// is never committed removes itself. The folder must outlive it.
class NewFile {
public:
    NewFile(const Folder& folder, bool executable);
    ~NewFile();
    NewFile(const NewFile&) = delete;
    NewFile& operator=(const NewFile&) = delete;

    bool IsOpen() const { return m_handle >= 0; }
    bool Write(const void* data, std::size_t size);
    bool SetPermissions(unsigned permissions);
    bool SetModificationTime(std::int64_t secondsSinceEpoch);

    // Closes the file and renames it over the named entry of its folder. A
    // link there is replaced by the file, not followed.
    bool Commit(const std::string& name);

private:
    void Discard();

    std::intptr_t m_folder;
    std::intptr_t m_handle = -1;
    std::string m_name;
};

// A whole small file written as a NewFile: under a fresh name in the folder,
// then renamed over the named entry, so that a reader or a crash never meets
// half of it.
bool ReplaceFileContents(const std::string& folder, const std::string& name, std::string_view contents);

}  // namespace platform
