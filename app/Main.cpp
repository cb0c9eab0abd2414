// Process entry of the updater. It takes no command-line options.
#include "app/Startup.h"

UPD_EXPORT void* CreateInterface(const char* name, int* returnCode);

int main() { return app::RunUpdater(CreateInterface); }
