// updvgui2: the module that holds the GUI core services and the key-values
// memory service. Its KeyValues code uses the module's own memory service,
// which is the one the executable connects to, so a process has one symbol
// table.
#include "modules/updvgui2/InputSystem.h"
#include "modules/updvgui2/KeyValuesSystem.h"
#include "modules/updvgui2/ModuleServices.h"
#include "modules/updvgui2/PanelService.h"
#include "modules/updvgui2/Surface.h"
#include "modules/updvgui2/VGui.h"
#include "services/InterfaceRegistry.h"
#include "vgui2/KeyValues.h"

namespace {

void* CreateKeyValuesSystem() {
    CKeyValuesSystem& system = TheKeyValuesSystem();
    SetKeyValuesSystem(&system);
    return static_cast<IKeyValuesSystem*>(&system);
}

InterfaceReg g_keyValuesSystemReg(CreateKeyValuesSystem, KEYVALUES_INTERFACE_VERSION);

void* CreateVGui() { return static_cast<vgui2::IVGui*>(&TheVGuiImpl()); }
InterfaceReg g_vguiReg(CreateVGui, vgui2::VGUI_IVGUI_INTERFACE_VERSION);

void* CreatePanelService() { return static_cast<vgui2::IPanel*>(&ThePanelServiceImpl()); }
InterfaceReg g_panelReg(CreatePanelService, vgui2::VGUI_PANEL_INTERFACE_VERSION);

// Asking for the surface brings SDL's video up; without a display there is
// no surface to hand out, and start-up ends for want of a service.
void* CreateSurface() { return TheSurfaceImpl().Init() ? static_cast<vgui2::ISurface*>(&TheSurfaceImpl()) : nullptr; }
InterfaceReg g_surfaceReg(CreateSurface, vgui2::VGUI_SURFACE_INTERFACE_VERSION);

void* CreateInputSystem() { return static_cast<vgui2::IInput*>(&TheInputImpl()); }
InterfaceReg g_inputReg(CreateInputSystem, vgui2::VGUI_INPUT_INTERFACE_VERSION);

void* CreateSchemeManager() { return &TheSchemeManager(); }
InterfaceReg g_schemeReg(CreateSchemeManager, vgui2::VGUI_SCHEME_INTERFACE_VERSION);

void* CreateSystem() { return &TheSystem(); }
InterfaceReg g_systemReg(CreateSystem, vgui2::VGUI_SYSTEM_INTERFACE_VERSION);

void* CreateLocalize() { return &TheLocalize(); }
InterfaceReg g_localizeReg(CreateLocalize, vgui2::VGUI_LOCALIZE_INTERFACE_VERSION);

// The module's own KeyValues users (scheme and token files) need the
// service before anyone asks for it through the factory.
struct ConnectOwnKeyValues {
    ConnectOwnKeyValues() { SetKeyValuesSystem(&TheKeyValuesSystem()); }
} g_connectOwnKeyValues;

}  // namespace

UPD_EXPORT void* CreateInterface(const char* name, int* returnCode) { return CreateInterfaceInternal(name, returnCode); }
