#pragma once
#include <windows.h>
#include "coreexp.h"

UtilExport void SetCheckBox(HWND hw, int id, BOOL b);
UtilExport BOOL SetWindowTextInt(HWND hWnd, int val);
UtilExport BOOL SetWindowTextFloat(HWND hWnd, float val, int precision = 3);
