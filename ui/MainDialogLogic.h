#pragma once
// The rules of the main dialog (template 102), as plain functions of the dialog window, the
// scene data store and the user-interface object. MainDialogProc only decodes messages.
#include <windows.h>
#include <commctrl.h>

#include <string>

namespace rud {

class DialogView;
class RUDRenderingDataMgr;
class RUDRenderingUiMgr;
struct SubmitOrder;

// Results of AnalyseScene.
constexpr int kAnalysisShown = 1;           // the dialog is filled and usable
constexpr int kAnalysisCameraNamesBad = -2; // the warnings dialog was shown; close with -2

// The texts the analysis and the submission pass around: captions 49 and 68, marker 57.
struct MainDialogTexts {
    std::wstring caption;
    std::wstring notice;
    std::wstring languageMarker;
    static MainDialogTexts Load();
};

// Initial dialog message: sockets, up-down ranges, initial texts, the first analysis, then the
// choices of `carried` (a run that failed or was cancelled) when the analysis filled the dialog.
// Returns what the procedure answers (TRUE, or -1 when sockets cannot start).
INT_PTR OpenMainDialog(HWND dialog, RUDRenderingDataMgr& store, RUDRenderingUiMgr& ui,
                       const SubmitOrder* carried = nullptr);

// Refuses clients and scenes we cannot work with, runs the analysis script, reads its result
// and fills the dialog. Closes the dialog itself on every refusal (see kAnalysis* results).
int AnalyseScene(HWND dialog, RUDRenderingDataMgr& store, RUDRenderingUiMgr& ui,
                 const MainDialogTexts& texts, bool firstTime);

// Block rendering does not go with region rendering, nor with Corona scenes that limit
// nothing. False when the choice was refused (radio 1030 is then checked again).
[[nodiscard]] bool BlockChoiceCheck(HWND dialog, RUDRenderingDataMgr& store, RUDRenderingUiMgr& ui,
                                    int modeCode);
// The material channel cannot be rendered in blocks: clears 1051 then.
void MaterialChannelCheck(HWND dialog, RUDRenderingDataMgr& store);

void EnableAmbientOcclusionGroup(const DialogView& view, bool enabled);
void EnableGiGroup(const DialogView& view, bool enabled);

void OnMainCommand(HWND dialog, RUDRenderingDataMgr& store, RUDRenderingUiMgr& ui, int id, int code);
void OnMainNotify(HWND dialog, RUDRenderingDataMgr& store, RUDRenderingUiMgr& ui, const NMHDR& header);
// Message 1025: the camera dialog changed cameras.
void OnCamerasEdited(HWND dialog, RUDRenderingDataMgr& store, RUDRenderingUiMgr& ui);
// Close request: tooltips go, the dialog ends with 0.
void CloseMainDialog(HWND dialog, RUDRenderingDataMgr& store);

} // namespace rud
