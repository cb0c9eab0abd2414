// The executable's nine process-wide service pointers. Start-up's
// ConnectGuiInterfaces is the only code that sets them in the product; tests
// set them to the implementations they link directly. Null until connected.
#pragma once

class IFileSystem;
class IKeyValuesSystem;

namespace vgui2 {

class IVGui;
class IPanel;
class ISurface;
class ISchemeManager;
class ISystem;
class IInput;
class ILocalize;

struct ServicePointers {
    IVGui* vgui = nullptr;
    IPanel* panel = nullptr;
    ISurface* surface = nullptr;
    ISchemeManager* scheme = nullptr;
    ISystem* system = nullptr;
    IInput* input = nullptr;
    ILocalize* localize = nullptr;
    IFileSystem* fileSystem = nullptr;
    IKeyValuesSystem* keyValues = nullptr;
};

extern ServicePointers g_services;

inline IVGui* ivgui() { return g_services.vgui; }
inline IPanel* ipanel() { return g_services.panel; }
inline ISurface* surface() { return g_services.surface; }
inline ISchemeManager* scheme() { return g_services.scheme; }
inline ISystem* system() { return g_services.system; }
inline IInput* input() { return g_services.input; }
inline ILocalize* localize() { return g_services.localize; }
inline IFileSystem* filesystem() { return g_services.fileSystem; }

}  // namespace vgui2
