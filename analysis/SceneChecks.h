#pragma once
// The farm's rules on a scene: report lines and flags during the analysis, and the two checks
// the submission runs (cameras, Corona limits).
#include "analysis/SceneAnalysis.h"
#include "core/LogChannel.h"

#include <windows.h>

#include <map>
#include <regex>
#include <string>
#include <vector>

namespace rud {

// Result codes of ValidateCameras.
enum CameraCheckResult : int {
    kCamerasValid = 0,
    kCameraFrameNegative = 1,
    kCameraNamesInvalid = 2,
    kNoCameraChecked = 3,
};

// One row of the camera table as the artist left it.
struct CameraTick {
    std::wstring key;
    bool checked = false;
};

// Copies the rows' ticks into `renderable` (rows beyond the cameras' count are not looked at),
// collects invalid names in `invalidKeys` and logs the verdict to `log`. With skipNoCheckedTest,
// no tick at all passes.
[[nodiscard]] int ValidateCameras(LogChannel& log, const std::vector<CameraTick>& rows,
                                  std::map<std::wstring, CameraInfo>& cameras, bool skipNoCheckedTest,
                                  std::vector<std::wstring>& invalidKeys);

// False when the scene renders with Corona and nothing is limited: the farm would render forever.
[[nodiscard]] bool CheckCoronaLimits(const SceneAnalysis& scene);

// Character rules shared with the dialogs.
bool HasCyrillic(const std::wstring& text);
bool IsAllowedReferenceName(const std::wstring& text);
bool IsValidCameraKey(const std::wstring& key);   // the submission-time camera name rule
// Any of the ten characters \ / : * ? " < > | % that camera names must not hold.
bool HasCameraNameCharacter(const std::wstring& text);
// The key without the first nine of those characters (a '%' stays).
std::wstring CameraDisplayName(const std::wstring& key);
// The two rules as regular expressions: Cyrillic letters (searched) and the characters a
// reference file name may consist of (matched against the whole name).
const std::wregex& CyrillicRule();
const std::wregex& AllowedCharactersRule();

} // namespace rud
