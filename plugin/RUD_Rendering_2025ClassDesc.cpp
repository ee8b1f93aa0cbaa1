#include "plugin/RUD_Rendering_2025ClassDesc.h"

#include "core/ResourceStrings.h"
#include "plugin/PluginIdentifiers.h"
#include "plugin/RUD_Rendering_2025.h"
#include "resources/StringIds.h"


namespace rud {

int RUD_Rendering_2025ClassDesc::IsPublic() { return 1; }

void* RUD_Rendering_2025ClassDesc::Create(BOOL) {
    // GUP's heap operators put the object on the host's heap; the host deletes it with DeleteThis.
    try {
        return new RUD_Rendering_2025;
    } catch (...) {
        return nullptr;
    }
}

const MCHAR* RUD_Rendering_2025ClassDesc::ClassName() { return LoadResourceTextA(IDS_CLASS_NAME); }
const MCHAR* RUD_Rendering_2025ClassDesc::NonLocalizedClassName() { return kFixedClassName; }
SClass_ID RUD_Rendering_2025ClassDesc::SuperClassID() { return kUtilitySuperClassId; }
Class_ID RUD_Rendering_2025ClassDesc::ClassID() { return Class_ID(kClassIdA, kClassIdB); }
const MCHAR* RUD_Rendering_2025ClassDesc::Category() { return LoadResourceTextA(IDS_CLASS_CATEGORY); }
HINSTANCE RUD_Rendering_2025ClassDesc::HInstance() { return ModuleInstance(); }

RUD_Rendering_2025ClassDesc& RUD_Rendering_2025ClassDesc::Instance() {
    static RUD_Rendering_2025ClassDesc descriptor;
    return descriptor;
}

} // namespace rud
