// The file-system service over the C library: search paths by path id,
// files as stdio streams, local paths and the current directory. Names
// given with "\" reach the disk with "/"; local paths come back in the
// system's own form. It has no archives or packs; the game folder is a
// plain directory tree.
#pragma once

#include <string>
#include <vector>

#include "services/IFileSystem.h"

class CFileSystemStdio final : public IFileSystem {
public:
    void AddSearchPath(const char* path, const char* pathID) override;
    void RemoveAllSearchPaths() override;
    FileHandle_t Open(const char* fileName, const char* options, const char* pathID) override;
    void Close(FileHandle_t file) override;
    unsigned int Size(FileHandle_t file) override;
    int Read(void* output, int size, FileHandle_t file) override;
    int Write(const void* input, int size, FileHandle_t file) override;
    bool FileExists(const char* fileName, const char* pathID) override;
    bool CreateDirHierarchy(const char* path, const char* pathID) override;
    const char* GetLocalPath(const char* fileName, char* localPath, int localPathBufferSize) override;
    bool GetCurrentDirectory(char* directory, int maxLength) override;

private:
    struct SearchPath {
        std::string directory;  // absolute, with "/", no trailing "/" but a root's
        std::string id;
    };

    // Search-path directories for the id in the order added; all of them for
    // a null id.
    std::vector<const SearchPath*> PathsFor(const char* pathID) const;
    // The directory that files written under the id go to.
    std::string WriteDirectory(const char* pathID) const;
    // The first existing file of that relative name, or an empty text.
    std::string Resolve(const std::string& name, const char* pathID) const;

    std::vector<SearchPath> m_searchPaths;
};

// The module's one instance.
CFileSystemStdio& TheFileSystem();
