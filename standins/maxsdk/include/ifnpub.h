#pragma once
// Function-publishing values: what a MAXScript run hands back.
#include <windows.h>
#include "coreexp.h"
#include "maxheap.h"

enum ParamType2 { TYPE_VOID = 26, TYPE_INT = 1, TYPE_BOOL = 4, TYPE_FLOAT = 0, TYPE_STRING = 8 };

class FPValue : public MaxHeapOperators {
public:
    FPValue() { Init(); }
    ~FPValue() { Free(); }
    void Init() { type = TYPE_VOID; i = 0; s = nullptr; }
    CoreExport void Free();
    ParamType2 type;
    int i;
    const wchar_t* s;
};
