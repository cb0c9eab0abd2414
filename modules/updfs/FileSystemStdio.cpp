#include "modules/updfs/FileSystemStdio.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "platform/Platform.h"
#include "platform/Text.h"

namespace {

// Windows paths may also begin with a drive ("C:/") or a share
// ("//host/share"); its own programs show them with "\".
constexpr auto kNativeSeparator = std::filesystem::path::preferred_separator;
constexpr bool kWindowsPaths = kNativeSeparator == '\\';

std::string ToDiskName(const char* name) {
    std::string result(name ? name : "");
    for (char& c : result) {
        if (c == '\\') {
            c = '/';
        }
    }
    return result;
}

std::string ToNativeName(std::string path) {
    for (char& c : path) {
        if (c == '/') {
            c = static_cast<char>(kNativeSeparator);
        }
    }
    return path;
}

// The length of the part of a disk name that names a root: "/", "C:/" or
// "//host/share"; 0 for a relative name.
std::size_t RootLength(const std::string& path) {
    if (kWindowsPaths && path.size() >= 3 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':' &&
        path[2] == '/') {
        return 3;
    }
    if (kWindowsPaths && path.rfind("//", 0) == 0) {
        std::size_t host = path.find('/', 2);
        std::size_t share = host == std::string::npos ? std::string::npos : path.find('/', host + 1);
        return share == std::string::npos ? path.size() : share;
    }
    return !path.empty() && path[0] == '/' ? 1 : 0;
}

bool IsAbsolute(const std::string& path) { return RootLength(path) > 0; }

std::string Join(const std::string& directory, const std::string& name) {
    return !directory.empty() && directory.back() == '/' ? directory + name : directory + "/" + name;
}

// Drops "." parts and doubled or trailing separators after the root; ".."
// stays as given.
std::string Normalize(const std::string& path) {
    std::size_t rootLength = RootLength(path);
    std::string result = path.substr(0, rootLength);
    std::size_t start = rootLength;
    while (start <= path.size()) {
        std::size_t end = path.find('/', start);
        if (end == std::string::npos) {
            end = path.size();
        }
        std::string part = path.substr(start, end - start);
        if (!part.empty() && part != ".") {
            result = result.empty() ? part : Join(result, part);
        }
        start = end + 1;
    }
    return result;
}

bool IsReadMode(const char* options) { return options && options[0] == 'r'; }

}  // namespace

void CFileSystemStdio::AddSearchPath(const char* path, const char* pathID) {
    if (!path) {
        return;
    }
    std::string directory = ToDiskName(path);
    if (!IsAbsolute(directory)) {
        directory = Join(ToDiskName(platform::CurrentDirectory().c_str()), directory);
    }
    directory = Normalize(directory);
    std::string id = pathID ? pathID : "";
    for (const SearchPath& existing : m_searchPaths) {
        if (existing.directory == directory && platform::CompareNoCase(existing.id.c_str(), id.c_str()) == 0) {
            return;
        }
    }
    m_searchPaths.push_back({directory, id});
}

void CFileSystemStdio::RemoveAllSearchPaths() { m_searchPaths.clear(); }

std::vector<const CFileSystemStdio::SearchPath*> CFileSystemStdio::PathsFor(const char* pathID) const {
    std::vector<const SearchPath*> result;
    for (const SearchPath& path : m_searchPaths) {
        if (!pathID || platform::CompareNoCase(path.id.c_str(), pathID) == 0) {
            result.push_back(&path);
        }
    }
    return result;
}

std::string CFileSystemStdio::WriteDirectory(const char* pathID) const {
    std::vector<const SearchPath*> paths = PathsFor(pathID);
    return paths.empty() ? ToDiskName(platform::CurrentDirectory().c_str()) : paths.front()->directory;
}

std::string CFileSystemStdio::Resolve(const std::string& name, const char* pathID) const {
    if (IsAbsolute(name)) {
        return platform::IsRegularFile(name.c_str()) ? name : std::string();
    }
    for (const SearchPath* path : PathsFor(pathID)) {
        std::string candidate = Join(path->directory, name);
        if (platform::IsRegularFile(candidate.c_str())) {
            return candidate;
        }
    }
    return std::string();
}

FileHandle_t CFileSystemStdio::Open(const char* fileName, const char* options, const char* pathID) {
    if (!fileName || !*fileName || !options) {
        return nullptr;
    }
    std::string name = ToDiskName(fileName);
    std::string path;
    if (IsAbsolute(name)) {
        path = name;
    } else if (IsReadMode(options)) {
        path = Resolve(name, pathID);
        if (path.empty()) {
            return nullptr;
        }
    } else {
        path = Join(WriteDirectory(pathID), name);
    }
    return platform::OpenFile(path.c_str(), options);
}

void CFileSystemStdio::Close(FileHandle_t file) {
    if (file) {
        std::fclose(static_cast<FILE*>(file));
    }
}

unsigned int CFileSystemStdio::Size(FileHandle_t file) {
    return static_cast<unsigned int>(platform::OpenFileSize(static_cast<FILE*>(file)));
}

int CFileSystemStdio::Read(void* output, int size, FileHandle_t file) {
    if (!file || !output || size <= 0) {
        return 0;
    }
    return static_cast<int>(std::fread(output, 1, static_cast<std::size_t>(size), static_cast<FILE*>(file)));
}

int CFileSystemStdio::Write(const void* input, int size, FileHandle_t file) {
    if (!file || !input || size <= 0) {
        return 0;
    }
    return static_cast<int>(std::fwrite(input, 1, static_cast<std::size_t>(size), static_cast<FILE*>(file)));
}

bool CFileSystemStdio::FileExists(const char* fileName, const char* pathID) {
    return fileName && !Resolve(ToDiskName(fileName), pathID).empty();
}

bool CFileSystemStdio::CreateDirHierarchy(const char* path, const char* pathID) {
    if (!path || !*path) {
        return false;
    }
    std::string relative = ToDiskName(path);
    std::string full = IsAbsolute(relative) ? relative : Join(WriteDirectory(pathID), relative);
    for (std::size_t slash = full.find('/', RootLength(full)); slash != std::string::npos;
         slash = full.find('/', slash + 1)) {
        platform::MakeDirectory(full.substr(0, slash).c_str());
    }
    return platform::MakeDirectory(full.c_str());
}

const char* CFileSystemStdio::GetLocalPath(const char* fileName, char* localPath, int localPathBufferSize) {
    if (!fileName || !localPath || localPathBufferSize <= 0) {
        return nullptr;
    }
    std::string found = ToNativeName(Resolve(ToDiskName(fileName), nullptr));
    if (found.empty() || found.size() + 1 > static_cast<std::size_t>(localPathBufferSize)) {
        return nullptr;
    }
    std::memcpy(localPath, found.c_str(), found.size() + 1);
    return localPath;
}

bool CFileSystemStdio::GetCurrentDirectory(char* directory, int maxLength) {
    if (!directory || maxLength <= 0) {
        return false;
    }
    std::string current = platform::CurrentDirectory();
    if (current.empty() || current.size() + 1 > static_cast<std::size_t>(maxLength)) {
        return false;
    }
    std::memcpy(directory, current.c_str(), current.size() + 1);
    return true;
}

CFileSystemStdio& TheFileSystem() {
    static CFileSystemStdio instance;
    return instance;
}
