// What a folder tree holds, entry by entry, for tests that must show that
// nothing in it changed: every path below the folder with its kind and
// permissions, files with their size and a hash of their content, links
// with their target (never followed). Two listings are equal when nothing
// was added, removed, rewritten, redirected or made read-only.
#pragma once

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <string>

namespace testsupport {

using FolderListing = std::map<std::string, std::string>;

// The subfolder named skip (relative) is listed but not entered.
inline FolderListing ListFolder(const std::string& folder, const std::string& skip = "") {
    namespace fs = std::filesystem;
    FolderListing listing;
    for (auto entry = fs::recursive_directory_iterator(folder); entry != fs::recursive_directory_iterator(); ++entry) {
        // Lexically: resolving would follow the very links being listed.
        std::string name = entry->path().lexically_relative(folder).string();
        fs::file_status status = entry->symlink_status();
        std::string permissions = std::to_string(static_cast<unsigned>(status.permissions()) & 07777);
        if (fs::is_symlink(status)) {
            listing[name] = "link -> " + fs::read_symlink(entry->path()).string();
        } else if (fs::is_directory(status)) {
            listing[name] = "folder " + permissions;
            if (name == skip) {
                entry.disable_recursion_pending();
            }
        } else {
            std::ifstream in(entry->path(), std::ios::binary);
            std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            listing[name] = "file " + permissions + " " + std::to_string(content.size()) + " " +
                            std::to_string(std::hash<std::string>{}(content));
        }
    }
    return listing;
}

}  // namespace testsupport
