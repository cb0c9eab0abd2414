#include "modules/updfs/FileSystemStdio.h"

#include <cstdio>
#include <cstring>

#include "platform/Platform.h"
#include "platform/Text.h"

namespace {

std::string ToDiskName(const char* name) {
    std::string result(name ? name : "");
    for (char& c : result) {
        if (c == '\\') {
            c = '/';
        }
    }
    return result;
}

// Drops "." parts and doubled or trailing separators; ".." stays as given.
std::string Normalize(const std::string& path) {
    std::string result;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find('/', start);
        if (end == std::string::npos) {
            end = path.size();
        }
        std::string part = path.substr(start, end - start);
        if (!part.empty() && part != ".") {
            result += "/" + part;
        }
        start = end + 1;
    }
    return result.empty() ? "/" : result;
}

bool IsReadMode(const char* options) { return options && options[0] == 'r'; }

}  // namespace

void CFileSystemStdio::AddSearchPath(const char* path, const char* pathID) {
    if (!path) {
        return;
    }
    std::string directory = ToDiskName(path);
    if (directory.empty() || directory[0] != '/') {
        directory = platform::CurrentDirectory() + "/" + directory;
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
    return paths.empty() ? platform::CurrentDirectory() : paths.front()->directory;
}

std::string CFileSystemStdio::Resolve(const std::string& name, const char* pathID) const {
    if (!name.empty() && name[0] == '/') {
        return platform::IsRegularFile(name.c_str()) ? name : std::string();
    }
    for (const SearchPath* path : PathsFor(pathID)) {
        std::string candidate = path->directory == "/" ? "/" + name : path->directory + "/" + name;
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
    if (name[0] == '/') {
        path = name;
    } else if (IsReadMode(options)) {
        path = Resolve(name, pathID);
        if (path.empty()) {
            return nullptr;
        }
    } else {
        path = WriteDirectory(pathID) + "/" + name;
    }
    return std::fopen(path.c_str(), options);
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
    std::string full = relative[0] == '/' ? relative : WriteDirectory(pathID) + "/" + relative;
    for (std::size_t slash = full.find('/', 1); slash != std::string::npos; slash = full.find('/', slash + 1)) {
        platform::MakeDirectory(full.substr(0, slash).c_str());
    }
    return platform::MakeDirectory(full.c_str());
}

const char* CFileSystemStdio::GetLocalPath(const char* fileName, char* localPath, int localPathBufferSize) {
    if (!fileName || !localPath || localPathBufferSize <= 0) {
        return nullptr;
    }
    std::string found = Resolve(ToDiskName(fileName), nullptr);
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
