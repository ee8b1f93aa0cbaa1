#pragma once
// Global utility plug-ins: created once at start-up, started, and stopped at shut-down.
#include <windows.h>
#include "maxheap.h"

#define GUPRESULT_KEEP 0x00
#define GUPRESULT_NOKEEP 0x01
#define GUPRESULT_ABORT 0x03

class GUP : public MaxHeapOperators {
public:
    GUP() {}
    virtual ~GUP() {}
    virtual DWORD Start() = 0;
    virtual void Stop() = 0;
    virtual DWORD_PTR Control(DWORD parameter) { return 0; }
    virtual void DeleteThis() { delete this; }
};
