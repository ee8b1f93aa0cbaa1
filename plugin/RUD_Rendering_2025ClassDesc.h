#pragma once
// The class descriptor through which the host learns about and creates the utility plug-in.
#include <iparamb2.h>

namespace rud {

class RUD_Rendering_2025ClassDesc : public ClassDesc2 {
public:
    int IsPublic() override;
    void* Create(BOOL loading = FALSE) override;
    const MCHAR* ClassName() override;
    const MCHAR* NonLocalizedClassName() override;
    SClass_ID SuperClassID() override;
    Class_ID ClassID() override;
    const MCHAR* Category() override;
    HINSTANCE HInstance() override;

    // The one descriptor of the process, created on first use.
    static RUD_Rendering_2025ClassDesc& Instance();
};

} // namespace rud
