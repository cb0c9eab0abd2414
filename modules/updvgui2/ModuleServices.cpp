#include "modules/updvgui2/ModuleServices.h"

#include <atomic>

namespace {

std::atomic<IFileSystem*> g_moduleFileSystem{nullptr};
std::atomic<vgui2::ISurface*> g_moduleSurface{nullptr};

}  // namespace

IFileSystem* ModuleFileSystem() { return g_moduleFileSystem.load(); }
void SetModuleFileSystem(IFileSystem* fileSystem) { g_moduleFileSystem.store(fileSystem); }

vgui2::ISurface* ModuleSurface() { return g_moduleSurface.load(); }
void SetModuleSurface(vgui2::ISurface* surface) { g_moduleSurface.store(surface); }
