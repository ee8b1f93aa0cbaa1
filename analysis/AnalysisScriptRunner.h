#pragma once
// Runs the installation's analysis script inside 3ds Max and reads back the JSON it writes.
#include "plugin/HostOperations.h"

#include <windows.h>

#include <string>

namespace rud {

// fileIn "<scriptPath>" + gMax.analysis "<result path>" ""; reads the result file (without a
// leading byte-order mark) into resultText and deletes the result file and its ".log".
// True when the host answered exactly 1. On a failed run shows the error box (owner: dialog).
[[nodiscard]] bool RunAnalysisScript(HWND dialog, IScriptValue& result, const std::wstring& scriptPath,
                                     std::wstring& resultText);

} // namespace rud
