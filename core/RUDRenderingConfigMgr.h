#pragma once
// The data-less configuration manager: its address is the creation parameter of the main, camera
// and busy dialogs, none of which reads anything from it.
#include "core/Noncopyable.h"

namespace rud {

class RUDRenderingConfigMgr : public kiv_Noncopyable {
public:
    static RUDRenderingConfigMgr& Instance();
    virtual ~RUDRenderingConfigMgr() = default;
private:
    RUDRenderingConfigMgr() = default;
};

} // namespace rud
