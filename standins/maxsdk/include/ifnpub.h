#pragma once
// Function-publishing values: what a MAXScript run hands back.
#include <windows.h>
#include "coreexp.h"
#include "maxheap.h"
#include "strclass.h"

enum ParamType2 { TYPE_FLOAT = 0, TYPE_INT = 1, TYPE_BOOL = 4, TYPE_STRING = 8, TYPE_VOID = 26 };

// A value of any published type. The destructor frees what the value holds; Free does not reset
// the value, so calling it yourself and then letting the destructor run frees twice unless Init
// follows.
class FPValue : public MaxHeapOperators {
public:
    FPValue() { Init(); }
    ~FPValue() { Free(); }
    void Init() {
        type = TYPE_INT;
        ptr = nullptr;
    }
    CoreExport void Free();
    ParamType2 type;
    union {
        int i;
        float f;
        const MCHAR* s;
        void* ptr;
    };
};
