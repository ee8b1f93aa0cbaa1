// The camera check: the camera table's ticks decide what is rendered, and the keys of the
// rendered scene must be names the farm can handle.
#include "analysis/SceneChecks.h"

#include <algorithm>

namespace rud {

int ValidateCameras(LogChannel& log, const std::vector<CameraTick>& rows,
                    std::map<std::wstring, CameraInfo>& cameras, bool skipNoCheckedTest,
                    std::vector<std::wstring>& invalidKeys) {
    invalidKeys.clear();
    const size_t count = std::min(cameras.size(), rows.size());

    bool anyChecked = false;
    bool anyInvalid = false;
    for (size_t row = 0; row < count; ++row) {
        const CameraTick& read = rows[row];
        auto camera = cameras.find(read.key);
        if (camera != cameras.end()) {
            camera->second.renderable = read.checked;
            if (camera->second.startFrame < 0) {
                log.write("The parameter frame to render is less than 0!", "ERROR");
                return kCameraFrameNegative;
            }
        }
        anyChecked = anyChecked || read.checked;
        if (!IsValidCameraKey(read.key)) {
            anyInvalid = true;
            invalidKeys.push_back(read.key);
        }
    }
    if (anyInvalid) {
        log.write("The camera names to render contain invalid characters or empty!", "ERROR");
        return kCameraNamesInvalid;
    }
    if (!skipNoCheckedTest && !anyChecked) {
        log.write("No camera checked!", "ERROR");
        return kNoCameraChecked;
    }
    log.write("The information of cameras to be submit is valid.", "INFO");
    return kCamerasValid;
}

} // namespace rud
