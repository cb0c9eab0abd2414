// updfs: the module that holds the file-system service.
#include "modules/updfs/FileSystemStdio.h"
#include "services/InterfaceRegistry.h"

namespace {

void* CreateFileSystem() { return static_cast<IFileSystem*>(&TheFileSystem()); }

InterfaceReg g_fileSystemReg(CreateFileSystem, FILESYSTEM_INTERFACE_VERSION);

}  // namespace

UPD_EXPORT void* CreateInterface(const char* name, int* returnCode) { return CreateInterfaceInternal(name, returnCode); }
