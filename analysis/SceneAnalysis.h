#pragma once
// One scene's analysis and the artist's choices for it as a plain value: what a submission takes
// from the store at Submit and works on alone, whatever fills the store after.
#include <cstdint>
#include <map>
#include <string>

namespace rud {

struct CameraInfo {
    int32_t width = 0;
    int32_t height = 0;
    int32_t startFrame = 1;
    std::wstring imageFormat;   // upper case, e.g. "PNG", "TIF"
    bool renderable = false;
    std::wstring displayName;
    bool isPanorama = false;
};

// The Corona limit fields, in the order the store holds them (CoronaLimitsRef()).
struct CoronaLimits {
    double coronaTimeLimitHours = 0;
    int32_t coronaPassLimit = 0;
    int32_t coronaTimeLimitSeconds = 0;
    double coronaNoiseLevelLimit = 0;
};

// The store holds these as its own first fields (RUDRenderingDataMgr derives from this type), so a
// copy reads like the store it came from.
struct SceneAnalysis {
    std::wstring analysisText;   // the script's JSON, the task file's starting object
    std::map<std::wstring, CameraInfo> cameras;
    std::string sceneFileName;   // UTF-8
    std::string sceneFilePath;   // UTF-8
    std::string rendererName;    // "renderer_full_name" of the analysis (UTF-8)
    int32_t coronaLimitState = 0;
    CoronaLimits coronaLimits;
    bool useCorona = false;
    int32_t renderModeCode = 1;
    int32_t distributedCount = 0;
    std::string renderModeName;
    float gammaOut = 2.2f;
    bool colorChannel = false;
    bool aoChannel = false;
    double aoRadius = 1000.0;
    int32_t aoSubdivs = 16;
    bool mtlChannel = false;
    bool giChannel = false;
    bool psdChannel = false;
    int32_t giIrradmapPreset = 0;
    int32_t giIrradmapMinRate = 0;
    int32_t giIrradmapMaxRate = 0;
    int32_t imageSamplerType = 0;
};

} // namespace rud
