#include "modules/updvgui2/ModuleServices.h"

#include <atomic>

namespace {

std::atomic<IFileSystem*> g_moduleFileSystem{nullptr};

}  // namespace

IFileSystem* ModuleFileSystem() { return g_moduleFileSystem.load(); }
void SetModuleFileSystem(IFileSystem* fileSystem) { g_moduleFileSystem.store(fileSystem); }
