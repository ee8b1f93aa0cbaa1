#pragma once
// Runs the installation's analysis script inside 3ds Max and reads back the JSON it writes.
#include "host/HostOperations.h"

#include <windows.h>

#include <string>

namespace rud {

class RUDRenderingDataMgr;

// fileIn "<scriptPath>" + gMax.analysis "<result path>" ""; reads the result file (without a
// leading byte-order mark) into resultText and deletes the result file and its ".log".
// True when the host answered exactly 1. On a failed run shows the error box (owner: dialog;
// none without one).
[[nodiscard]] bool RunAnalysisScript(HWND dialog, IScriptValue& result, const std::wstring& scriptPath,
                                     std::wstring& resultText);
// The same on a given store (the one above uses the process-wide store).
[[nodiscard]] bool RunAnalysisScript(RUDRenderingDataMgr& store, HWND dialog, IScriptValue& result,
                                     const std::wstring& scriptPath, std::wstring& resultText);
// The two-line MAXScript text that loads the script and asks it to write resultPath.
std::wstring AnalysisScriptText(const std::wstring& scriptPath, const std::wstring& resultPath);

} // namespace rud
