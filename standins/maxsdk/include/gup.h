#pragma once
// Global utility plug-ins: created once at start-up, started, and stopped at shut-down.
// As in the SDK this header does not stand alone: it relies on max.h (IOResult, ILoad, ISave)
// having been included first.
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
    virtual void DeleteThis() {}
    virtual IOResult Save(ISave* isave) { return IO_OK; }
    virtual IOResult Load(ILoad* iload) { return IO_OK; }
};

