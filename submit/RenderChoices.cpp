#include "submit/RenderChoices.h"

#include "analysis/SceneChecks.h"
#include "resources/StringIds.h"

namespace rud {

const RenderModeChoice kRenderModes[kRenderModeCount] = {
    {L"none", 1, "base", 0},
    {L"blocks", 10, "block", 0},
    {L"distributed", 64, "dist", 3},
    {L"distributedPro", 1010, "dist_pro", 6},
};

int BlockModeRefusal(const RUDRenderingDataMgr& store) {
    if (store.isRegionText == "true") return IDS_REGION_NO_BLOCKS;
    if (!CheckCoronaLimits(store)) return IDS_CORONA_NO_BLOCKS;
    return 0;
}

} // namespace rud
