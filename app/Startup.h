// Start-up and shutdown of the updater: loads the two service modules,
// connects the nine GUI services, sets search paths, scheme, language and
// localization, builds the root panel, runs the GUI loop on the main thread
// and tears down in a fixed order. It holds no window logic of its own; the
// updater window is reached only through the root viewport once it exists.
#pragma once

#include "platform/Platform.h"
#include "services/VGuiTypes.h"

namespace app {

// The two failure texts name the module as the caller wrote it, never the
// file name that was tried.
inline constexpr const char* kLoadModuleFailedFormat = "Failed to load module %s. Exiting...";
inline constexpr const char* kFactoryMissingFormat = "Failed to get factory for module %s. Exiting...";
inline constexpr const char* kSchemeFailedText =
    "Failed to load scheme \"platform/resource/TrackerScheme.res\". Exiting...";
inline constexpr const char* kErrorCaption = "Updater";

// Loads the module by its bare name, then with the platform's suffix; the
// executable's folder is searched first. Does not return when the module or
// its exported factory is missing: the user is told and the process ends
// with exit code 1.
platform::ModuleHandle LoadServiceModule(const char* moduleName);

// Names the executable's panels "Updater" (the panel service hands back only
// panels of this module), sets the process locale (numbers keep "."
// whatever the user's settings), asks the factories in list order for each of the nine services and keeps
// the first answer, then initialises the GUI loop once. The only place that
// sets the service pointers. True only when all nine were found.
bool ConnectGuiInterfaces(CreateInterfaceFn* factoryList, int factoryCount);

// The whole run; returns the process exit code. The executable's own
// exported factory heads the factory list.
int RunUpdater(CreateInterfaceFn ownFactory);

}  // namespace app
