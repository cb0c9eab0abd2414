// Loading a shared library that may have been replaced on disk since it was
// last loaded. A library the system cannot unload (one with unique symbols,
// or marked "nodelete") stays mapped after UnloadModule, and loading the same
// path again hands back that old copy. A private copy under a fresh name is
// always loaded from the file as it is now.
#pragma once

#include "platform/Platform.h"

namespace platform {

// Resolves the name as LoadModule does (a bare name is looked for in the
// executable's folder first). When a library of that path is still mapped,
// copies the file into a private temporary folder under a name never used
// before in this process, loads the copy and removes it from disk again;
// otherwise, as at start-up, loads the file itself, which costs no copy. A
// library found only by the system's search, or one that cannot be copied,
// is loaded as LoadModule would.
ModuleHandle LoadModuleCopy(const char* name);

}  // namespace platform
