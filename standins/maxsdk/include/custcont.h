#pragma once
// The host's custom controls. Dialog templates name the spinner window class "SpinnerControl"
// next to the custom edit control "CustEdit" that shows its value; SetupFloatSpinner links the two.
#include <windows.h>
#include "coreexp.h"
#include "maxheap.h"
#include "strclass.h"

#define SPINNERWINDOWCLASS L"SpinnerControl"
#define CUSTEDITWINDOWCLASS L"CustEdit"

// Sent to the spinner's parent: LOWORD(wParam) the control ID, HIWORD(wParam) TRUE while the
// user drags, lParam the ISpinnerControl*. Written without parentheses, as in the SDK.
#define CC_SPINNER_CHANGE WM_USER + 600
#define CC_SPINNER_BUTTONDOWN WM_USER + 601
#define CC_SPINNER_BUTTONUP WM_USER + 602
// Sent to a custom edit's parent when the user presses Enter in it, and when it loses the focus
// while SetNotifyOnKillFocus is on (the default): wParam the control ID, lParam the edit's window.
#define WM_CUSTEDIT_ENTER WM_USER + 685

enum EditSpinnerType {
    EDITTYPE_INT,
    EDITTYPE_FLOAT,
    EDITTYPE_UNIVERSE,
    EDITTYPE_POS_INT,
    EDITTYPE_POS_FLOAT,
    EDITTYPE_POS_UNIVERSE,
    EDITTYPE_TIME,
};

class ICustomControl : public MaxHeapOperators {
public:
    virtual ~ICustomControl() {}
    virtual HWND GetHwnd() = 0;
    virtual void Enable(BOOL onOff = TRUE) = 0;
    virtual void Disable() = 0;
    virtual BOOL IsEnabled() = 0;
};

class ICustEdit : public ICustomControl {
public:
    virtual void GetText(MSTR& text) const = 0;
    virtual void SetText(const MCHAR* text) = 0;
    virtual float GetFloat(BOOL* valid = nullptr) = 0;
    virtual int GetInt(BOOL* valid = nullptr) = 0;
    // TRUE once after the user pressed Enter (reading it clears it).
    virtual BOOL GotReturn() = 0;
    virtual void SetNotifyOnKillFocus(BOOL onOff) = 0;
};

class ISpinnerControl : public ICustomControl {
public:
    virtual float GetFVal() = 0;
    virtual int GetIVal() = 0;
    virtual void SetScale(float s) = 0;
    virtual void SetValue(float v, int notify) = 0;
    virtual void SetValue(int v, int notify) = 0;
    virtual void SetLimits(float min, float max, int limitCurValue = TRUE) = 0;
    virtual void LinkToEdit(HWND hEdit, EditSpinnerType type) = 0;
};

CoreExport ISpinnerControl* GetISpinner(HWND hCtrl);
CoreExport void ReleaseISpinner(ISpinnerControl* isc);
CoreExport ISpinnerControl* SetupFloatSpinner(HWND hwnd, int idSpin, int idEdit, float min, float max,
                                              float val, float scale = 0.1f);
CoreExport ICustEdit* GetICustEdit(HWND hCtrl);
CoreExport void ReleaseICustEdit(ICustEdit* ice);
