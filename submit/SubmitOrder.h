#pragma once
// Everything a submission takes from the artist, read once when Submit is pressed, so that the
// run never looks at a window again.
#include "analysis/SceneChecks.h"
#include "submit/SceneBackup.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace rud {

// The analysis itself (cameras, output, references, Corona state) stays in the shared store:
// the main dialog is frozen and the busy dialog is modal while a submission runs, so nothing
// refills the store before the run ends.
struct SubmitOrder {
    // The typed scene name, judged against the open scene and its folder at Submit.
    TypedSceneJudgement sceneName;
    std::vector<CameraTick> cameraTicks;   // the camera table's rows, in table order
    // The cameras' output settings as the artist left them (camera dialog included), by key.
    // The run takes them from the store; a dialog opened again after a failed run puts them back.
    std::map<std::wstring, CameraInfo> cameras;
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

} // namespace rud
