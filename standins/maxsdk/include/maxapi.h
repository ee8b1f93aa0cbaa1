#pragma once
// The core interface: what the host offers plug-ins about its window, actions and scene.
#include <windows.h>
#include "coreexp.h"
#include "maxheap.h"
#include "strclass.h"

class IActionManager;

// Asked before 3ds Max exits normally (not after crash recovery): FALSE keeps it running.
class ExitMAXCallback : public MaxHeapOperators {
public:
    virtual ~ExitMAXCallback() {}
    virtual BOOL Exit(HWND hWnd) = 0;
};

class Interface : public MaxHeapOperators {
public:
    virtual ~Interface() {}
    virtual HWND GetMAXHWnd() const = 0;
    virtual IActionManager* GetActionManager() = 0;
    virtual MSTR& GetCurFileName() = 0;
    virtual MSTR& GetCurFilePath() = 0;
    virtual BOOL FileSave() = 0;
    virtual int SaveToFile(const MCHAR* fileName, BOOL clearNeedSaveFlag = TRUE, BOOL useNewFile = TRUE) = 0;
    virtual void RegisterExitMAXCallback(ExitMAXCallback* cb) = 0;
    virtual void UnRegisterExitMAXCallback(ExitMAXCallback* cb) = 0;
};

CoreExport Interface* GetCOREInterface();
