#pragma once
// Everything a submission takes from the artist and the scene's analysis, read once when Submit
// is pressed, so that the run never looks at a window or the shared store again.
#include "analysis/SceneAnalysis.h"
#include "analysis/SceneChecks.h"
#include "core/ClientInfo.h"
#include "submit/SceneBackup.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace rud {

class RUDRenderingDataMgr;

struct SubmitOrder {
    // The scene as analysed, with the cameras' output settings as the artist left them (camera
    // dialog included): the run works on this copy alone, so a store refilled meanwhile (another
    // dialog, a script) cannot lend it another scene's cameras. A dialog opened again after a
    // failed run puts the settings back from here.
    SceneAnalysis analysis;
    // The data folder's files and the client's address as they were at Submit.
    ClientInfo client;
    // The typed scene name, judged against the open scene and its folder at Submit.
    TypedSceneJudgement sceneName;
    std::vector<CameraTick> cameraTicks;   // the camera table's rows, in table order
    int32_t renderMode = 0;   // the render mode radio button that was checked (its control ID)
    bool colorChannel = false;
    bool aoChannel = false;
    bool mtlChannel = false;
    bool giChannel = false;
    bool psdChannel = false;
    // Numbers as typed: the run reads them by its own rules (whole numbers, ranges, no limit).
    std::wstring aoRadius;
    std::wstring aoSubdivs;
    std::wstring gamma;
    std::wstring coronaPasses;
    std::wstring coronaHours;
    std::wstring coronaNoise;
    int32_t imageScaleIndex = 0;   // position in the image scale list, -1 for none
    bool backupAndCheck = false;
    bool saveScene = false;        // the client is told whether the artist's scene was saved first
    // 3ds Max is given back once the scene is saved and copied; a copy is packed and sent.
    bool keepWorking = false;
};

// An order holding a copy of the store's analysis and the client's information now, the artist's
// choices left at their defaults for the caller (the dialog, a script) to fill.
[[nodiscard]] SubmitOrder NewSubmitOrder(RUDRenderingDataMgr& store);

} // namespace rud
