// The key-values memory service: a pool of node-sized blocks and the
// case-insensitive symbol table. Thread-safe, since worker threads build
// message trees too.
#pragma once

#include <deque>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include "services/IKeyValuesSystem.h"

class CKeyValuesSystem final : public IKeyValuesSystem {
public:
    CKeyValuesSystem();
    ~CKeyValuesSystem();

    void RegisterSizeofKeyValues(int size) override;
    void* AllocKeyValuesMemory(int size) override;
    void FreeKeyValuesMemory(void* memory) override;
    vgui2::HKeySymbol GetSymbolForString(const char* name) override;
    const char* GetStringForSymbol(vgui2::HKeySymbol symbol) override;

private:
    std::mutex m_memoryLock;
    std::size_t m_blockSize;
    std::vector<void*> m_freeBlocks;

    std::mutex m_symbolLock;
    std::unordered_map<std::string, vgui2::HKeySymbol> m_symbolsByFoldedName;
    std::deque<std::string> m_names;
};

// The module's one instance.
CKeyValuesSystem& TheKeyValuesSystem();
