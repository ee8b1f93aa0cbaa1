#include "plugin/RUD_Rendering_2025.h"

namespace rud {

DWORD RUD_Rendering_2025::Start() { return GUPRESULT_KEEP; }
void RUD_Rendering_2025::Stop() {}
void RUD_Rendering_2025::DeleteThis() { delete this; }

} // namespace rud
