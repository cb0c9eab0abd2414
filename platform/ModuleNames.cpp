#include <cstdio>

#include "platform/Platform.h"

namespace platform {

ModuleHandle LoadModuleOrSuffixed(const char* name, ModuleHandle (*load)(const char*)) {
    if (ModuleHandle module = load(name)) {
        return module;
    }
    char suffixed[512];
    std::snprintf(suffixed, sizeof(suffixed), "%s%s", name, ModuleSuffix());
    return load(suffixed);
}

}  // namespace platform
