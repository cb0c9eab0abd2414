#include "services/InterfaceRegistry.h"

#include <cstring>

InterfaceReg* InterfaceReg::s_pInterfaceRegs = nullptr;

InterfaceReg::InterfaceReg(InstantiateInterfaceFn createFn, const char* name)
    : m_CreateFn(createFn), m_pName(name), m_pNext(s_pInterfaceRegs) {
    s_pInterfaceRegs = this;
}

void* CreateInterfaceInternal(const char* name, int* returnCode) {
    for (InterfaceReg* reg = InterfaceReg::s_pInterfaceRegs; reg; reg = reg->m_pNext) {
        if (name && std::strcmp(reg->m_pName, name) == 0) {
            if (returnCode) {
                *returnCode = 0;
            }
            return reg->m_CreateFn();
        }
    }
    if (returnCode) {
        *returnCode = 1;
    }
    return nullptr;
}
