// The key-values memory service "KeyValues003": node and small value blocks,
// and the process-wide table of case-insensitive name symbols.
#pragma once

#include "services/VGuiTypes.h"

inline constexpr const char* KEYVALUES_INTERFACE_VERSION = "KeyValues003";

class IKeyValuesSystem {
public:
    // Blocks up to this size come from the service's pools.
    virtual void RegisterSizeofKeyValues(int size) = 0;
    virtual void* AllocKeyValuesMemory(int size) = 0;
    virtual void FreeKeyValuesMemory(void* memory) = 0;

    // -1 for a null name; names differing only in case share a symbol.
    virtual vgui2::HKeySymbol GetSymbolForString(const char* name) = 0;
    // The spelling first registered for the symbol, or null.
    virtual const char* GetStringForSymbol(vgui2::HKeySymbol symbol) = 0;

protected:
    ~IKeyValuesSystem() = default;
};
