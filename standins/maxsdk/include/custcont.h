#pragma once
// The host's custom controls. Dialog templates name the spinner window class "SpinnerControl"
// next to an edit control that shows its value.
#include <windows.h>
#include "coreexp.h"
#include "maxheap.h"

#define SPINNERWINDOWCLASS L"SpinnerControl"
#define CC_SPINNER_CHANGE (WM_USER + 600)
#define CC_SPINNER_BUTTONDOWN (WM_USER + 601)
#define CC_SPINNER_BUTTONUP (WM_USER + 602)
#define EDITTYPE_FLOAT 2

class ICustomControl : public MaxHeapOperators {
public:
    virtual ~ICustomControl() {}
    virtual HWND GetHwnd() = 0;
    virtual void Enable(BOOL onOff = TRUE) = 0;
    virtual void Disable() = 0;
    virtual BOOL IsEnabled() = 0;
};

class ISpinnerControl : public ICustomControl {
public:
    virtual float GetFVal() = 0;
    virtual int GetIVal() = 0;
    virtual void SetScale(float s) = 0;
    virtual void SetValue(float v, int notify) = 0;
    virtual void SetValue(int v, int notify) = 0;
    virtual void SetLimits(float min, float max, int limitCurValue = TRUE) = 0;
    virtual void LinkToEdit(HWND hEdit, int editType) = 0;
};

CoreExport ISpinnerControl* GetISpinner(HWND hCtrl);
CoreExport void ReleaseISpinner(ISpinnerControl* isc);
CoreExport ISpinnerControl* SetupFloatSpinner(HWND hwnd, int idSpin, int idEdit, float min, float max,
                                              float val, float scale = 0.1f);
