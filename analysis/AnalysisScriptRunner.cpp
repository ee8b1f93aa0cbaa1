#include "analysis/AnalysisScriptRunner.h"

#include "analysis/RUDRenderingDataMgr.h"
#include "core/ClientInfo.h"
#include "core/DataFolders.h"
#include "core/MessageBoxes.h"
#include "core/ResourceStrings.h"
#include "core/TextConversions.h"
#include "resources/StringIds.h"

namespace rud {
namespace {

constexpr wchar_t kByteOrderMark = L'\uFEFF';

void DeleteIfPresent(const std::wstring& path) {
    if (PathExists(path)) ::DeleteFileW(path.c_str());
}

void ShowScriptFailedBox(HWND dialog) {
    const wchar_t* loaded = LoadResourceTextA(IDS_ANALYSIS_SCRIPT_FAILED);
    const std::wstring text = loaded ? loaded : L"";
    loaded = LoadResourceTextA(IDS_CAPTION_ERROR);
    const std::wstring caption = loaded ? loaded : L"";
    ShowMessageBox(dialog, text, caption, MB_OK, CurrentMessageBoxLanguage());
}

} // namespace

std::wstring AnalysisScriptText(const std::wstring& scriptPath, const std::wstring& resultPath) {
    // Paths go inside the quotes as they are: the installation's paths hold no double quotes.
    return L"fileIn \"" + scriptPath + L"\"\ngMax.analysis \"" + resultPath + L"\" \"\"";
}

bool RunAnalysisScript(HWND dialog, IScriptValue& result, const std::wstring& scriptPath, std::wstring& resultText) {
    return RunAnalysisScript(RUDRenderingDataMgr::Instance(), dialog, result, scriptPath, resultText);
}

bool RunAnalysisScript(RUDRenderingDataMgr& store, HWND dialog, IScriptValue& result,
                       const std::wstring& scriptPath, std::wstring& resultText) {
    ClientInfo clientInfo;
    (void)GetClientInformation(store.dataLog, clientInfo);
    const std::wstring guid = CreateGuidText();
    if (!PathExists(clientInfo.jsonDir)) ::CreateDirectoryW(clientInfo.jsonDir.c_str(), nullptr);
    store.analysisResultPath = clientInfo.jsonDir + L"/" + guid + L".ret";

    const int answer = Host().ExecuteMAXScript(AnalysisScriptText(scriptPath, store.analysisResultPath), result);
    if (answer == 0) {
        // A scripted run has no dialog, and nobody to read a box: its caller reports the failure.
        if (dialog) ShowScriptFailedBox(dialog);
        return false;
    }

    resultText = ReadWholeFileUtf8(WideToAnsiChs(store.analysisResultPath));
    if (!resultText.empty() && resultText.front() == kByteOrderMark) resultText.erase(0, 1);

    DeleteIfPresent(store.analysisResultPath);
    DeleteIfPresent(store.analysisResultPath + L".log");
    return answer == 1;
}

} // namespace rud
