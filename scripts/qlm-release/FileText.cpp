#include "scripts/qlm-release/FileText.h"

#include <cstdio>

#include "platform/Files.h"
#include "platform/Platform.h"

namespace qlmrelease {

bool ReadWholeFile(const std::string& path, std::string& contents) {
    std::FILE* file = platform::OpenFile(path.c_str(), "rb");
    if (!file) {
        return false;
    }
    contents.clear();
    char buffer[65536];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        contents.append(buffer, got);
    }
    bool complete = !std::ferror(file);
    std::fclose(file);
    return complete;
}

bool ReplaceFile(const std::string& path, const std::string& contents, std::string& reason) {
    if (!platform::ReplaceFileContents(FolderOf(path), LastPartOf(path), contents)) {
        reason = "cannot write " + path;
        return false;
    }
    return true;
}

std::string FolderOf(const std::string& path) {
    std::size_t separator = path.rfind('/');
    if (separator == std::string::npos) {
        return ".";
    }
    return separator == 0 ? "/" : path.substr(0, separator);
}

std::string LastPartOf(const std::string& path) {
    std::size_t separator = path.rfind('/');
    return separator == std::string::npos ? path : path.substr(separator + 1);
}

}  // namespace qlmrelease
