#pragma once
// The language pack 3ds Max was started with, and switching a module or thread to it.
#include <windows.h>
#include "coreexp.h"
#include "strclass.h"

namespace MaxSDK {
namespace Util {
// Sets the calling thread's user-interface language (and the calling module's resource
// language) to the language pack's, so that Win32 resources come from that language.
UtilExport void UseLanguagePackLocale();
// The language pack's folder name ("en-US", "zh-CN", ...).
UtilExport const MCHAR* GetLanguagePackDirName();
// The language pack's language ID.
UtilExport WORD GetLanguageID();
} // namespace Util
} // namespace MaxSDK
