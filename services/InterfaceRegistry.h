// The registration list behind every binary's exported CreateInterface: a
// process-wide singly linked list of records, each naming an interface
// version and the function that creates it. Each binary has its own list.
#pragma once

#include "services/VGuiTypes.h"

using InstantiateInterfaceFn = void* (*)();

class InterfaceReg {
public:
    // Links the record in at the head of the list.
    InterfaceReg(InstantiateInterfaceFn createFn, const char* name);

    InstantiateInterfaceFn m_CreateFn;
    const char* m_pName;
    InterfaceReg* m_pNext;

    static InterfaceReg* s_pInterfaceRegs;
};

// Answers a request for an interface from this binary's list: exact,
// case-sensitive name match; return code 0 when found, 1 when not.
void* CreateInterfaceInternal(const char* name, int* returnCode);
