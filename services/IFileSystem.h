// The file-system service "VFileSystem009": search paths by path id, file
// handles, local paths and the current directory. Names may be written with
// "\"; they reach the disk with "/".
#pragma once

#include "services/VGuiTypes.h"

inline constexpr const char* FILESYSTEM_INTERFACE_VERSION = "VFileSystem009";

using FileHandle_t = vgui2::FileHandle_t;

class IFileSystem {
public:

    // Paths are resolved against the current directory when added; paths of
    // one id are searched in the order they were added.
    virtual void AddSearchPath(const char* path, const char* pathID) = 0;
    virtual void RemoveAllSearchPaths() = 0;

    // Reading modes search the paths of the id (all paths for a null id);
    // writing modes use the first path of the id.
    virtual FileHandle_t Open(const char* fileName, const char* options, const char* pathID = nullptr) = 0;
    virtual void Close(FileHandle_t file) = 0;
    virtual unsigned int Size(FileHandle_t file) = 0;
    virtual int Read(void* output, int size, FileHandle_t file) = 0;
    virtual int Write(const void* input, int size, FileHandle_t file) = 0;
    virtual bool FileExists(const char* fileName, const char* pathID = nullptr) = 0;
    // Creates every directory of the path below the first path of the id.
    virtual bool CreateDirHierarchy(const char* path, const char* pathID = nullptr) = 0;

    // The full path of an existing file found through the search paths, or
    // null; a path that does not fit the buffer is refused, never cut.
    virtual const char* GetLocalPath(const char* fileName, char* localPath, int localPathBufferSize) = 0;
    virtual bool GetCurrentDirectory(char* directory, int maxLength) = 0;

protected:
    ~IFileSystem() = default;
};
