// The executable's own factory. Start-up puts it first in the factory list;
// nothing in the updater registers an interface, so it answers every request
// with "not found" and the services come from the modules.
#include "services/InterfaceRegistry.h"

UPD_EXPORT void* CreateInterface(const char* name, int* returnCode) { return CreateInterfaceInternal(name, returnCode); }
