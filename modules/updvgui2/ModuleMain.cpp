// updvgui2: the module that holds the GUI core services and the key-values
// memory service. Its KeyValues code uses the module's own memory service,
// which is the one the executable connects to, so a process has one symbol
// table.
#include "modules/updvgui2/KeyValuesSystem.h"
#include "services/InterfaceRegistry.h"
#include "vgui2/KeyValues.h"

namespace {

void* CreateKeyValuesSystem() {
    CKeyValuesSystem& system = TheKeyValuesSystem();
    SetKeyValuesSystem(&system);
    return static_cast<IKeyValuesSystem*>(&system);
}

InterfaceReg g_keyValuesSystemReg(CreateKeyValuesSystem, KEYVALUES_INTERFACE_VERSION);

// The module's own KeyValues users (scheme and token files) need the
// service before anyone asks for it through the factory.
struct ConnectOwnKeyValues {
    ConnectOwnKeyValues() { SetKeyValuesSystem(&TheKeyValuesSystem()); }
} g_connectOwnKeyValues;

}  // namespace

UPD_EXPORT void* CreateInterface(const char* name, int* returnCode) { return CreateInterfaceInternal(name, returnCode); }
