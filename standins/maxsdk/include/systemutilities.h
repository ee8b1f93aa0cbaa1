#pragma once
#include <windows.h>
#include "coreexp.h"

namespace MaxSDK {
namespace Util {
// Switches the calling module's thread locale and resource language to the host's language pack.
UtilExport void UseLanguagePackLocale(HINSTANCE module);
} // namespace Util
} // namespace MaxSDK
