#include "core/RUDRenderingConfigMgr.h"

namespace rud {

RUDRenderingConfigMgr& RUDRenderingConfigMgr::Instance() {
    static RUDRenderingConfigMgr instance;
    return instance;
}

} // namespace rud
