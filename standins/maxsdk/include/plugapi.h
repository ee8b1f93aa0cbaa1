#pragma once
#include <windows.h>
#include "maxheap.h"
#include "maxtypes.h"
#include "strclass.h"

#define GUP_CLASS_ID 0x000010E0

#define MAX_RELEASE 27000
#define MAX_API_NUM 66
#define MAX_SDK_REV 0
#define MAXVERSION(r) ((r) << 16)
#define VERSION_3DSMAX ((MAX_RELEASE << 16) + (MAX_API_NUM << 8) + MAX_SDK_REV)

class ClassDesc : public MaxHeapOperators {
public:
    virtual ~ClassDesc() {}
    virtual int IsPublic() = 0;
    virtual void* Create(BOOL loading = FALSE) = 0;
    virtual const MCHAR* ClassName() = 0;
    virtual const MCHAR* NonLocalizedClassName() = 0;
    virtual SClass_ID SuperClassID() = 0;
    virtual Class_ID ClassID() = 0;
    virtual const MCHAR* Category() = 0;
    virtual const MCHAR* InternalName() { return nullptr; }
    virtual HINSTANCE HInstance() { return nullptr; }
    virtual void ResetClassParams(BOOL fileReset) {}
    virtual DWORD InitialRollupPageState() { return 0x7fffffff; }
};
