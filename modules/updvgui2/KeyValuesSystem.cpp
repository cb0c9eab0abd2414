#include "modules/updvgui2/KeyValuesSystem.h"

#include <cstdlib>
#include <new>

namespace {

// Every block starts with a header that records its capacity, so a block
// freed after the registered size changed still goes back the right way.
struct alignas(16) BlockHeader {
    std::size_t capacity;
};

constexpr std::size_t kDefaultBlockSize = 64;

std::size_t RoundUp(std::size_t size) { return (size + 15) & ~static_cast<std::size_t>(15); }

}  // namespace

CKeyValuesSystem::CKeyValuesSystem() : m_blockSize(kDefaultBlockSize) {}

CKeyValuesSystem::~CKeyValuesSystem() {
    for (void* block : m_freeBlocks) {
        std::free(block);
    }
}

void CKeyValuesSystem::RegisterSizeofKeyValues(int size) {
    std::lock_guard<std::mutex> lock(m_memoryLock);
    std::size_t wanted = RoundUp(size > 0 ? static_cast<std::size_t>(size) : 1);
    if (wanted <= m_blockSize) {
        return;
    }
    m_blockSize = wanted;
    for (void* block : m_freeBlocks) {
        std::free(block);
    }
    m_freeBlocks.clear();
}

void* CKeyValuesSystem::AllocKeyValuesMemory(int size) {
    std::size_t wanted = size > 0 ? static_cast<std::size_t>(size) : 1;
    BlockHeader* header = nullptr;
    {
        std::lock_guard<std::mutex> lock(m_memoryLock);
        if (wanted <= m_blockSize && !m_freeBlocks.empty()) {
            header = static_cast<BlockHeader*>(m_freeBlocks.back());
            m_freeBlocks.pop_back();
        }
        if (!header) {
            std::size_t capacity = wanted <= m_blockSize ? m_blockSize : RoundUp(wanted);
            header = static_cast<BlockHeader*>(std::malloc(sizeof(BlockHeader) + capacity));
            if (!header) {
                return nullptr;
            }
            header->capacity = capacity;
        }
    }
    return header + 1;
}

void CKeyValuesSystem::FreeKeyValuesMemory(void* memory) {
    if (!memory) {
        return;
    }
    BlockHeader* header = static_cast<BlockHeader*>(memory) - 1;
    std::lock_guard<std::mutex> lock(m_memoryLock);
    if (header->capacity == m_blockSize) {
        m_freeBlocks.push_back(header);
    } else {
        std::free(header);
    }
}

vgui2::HKeySymbol CKeyValuesSystem::GetSymbolForString(const char* name) {
    if (!name) {
        return vgui2::kInvalidKeySymbol;
    }
    std::string folded(name);
    for (char& c : folded) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    std::lock_guard<std::mutex> lock(m_symbolLock);
    auto found = m_symbolsByFoldedName.find(folded);
    if (found != m_symbolsByFoldedName.end()) {
        return found->second;
    }
    auto symbol = static_cast<vgui2::HKeySymbol>(m_names.size());
    m_names.emplace_back(name);
    m_symbolsByFoldedName.emplace(std::move(folded), symbol);
    return symbol;
}

const char* CKeyValuesSystem::GetStringForSymbol(vgui2::HKeySymbol symbol) {
    std::lock_guard<std::mutex> lock(m_symbolLock);
    if (symbol < 0 || static_cast<std::size_t>(symbol) >= m_names.size()) {
        return nullptr;
    }
    return m_names[static_cast<std::size_t>(symbol)].c_str();
}

CKeyValuesSystem& TheKeyValuesSystem() {
    static CKeyValuesSystem instance;
    return instance;
}
