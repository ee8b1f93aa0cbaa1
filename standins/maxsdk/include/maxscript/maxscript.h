#pragma once
#include <windows.h>
#include "../coreexp.h"
#include "../ifnpub.h"

namespace MAXScript {
enum class ScriptSource : int { NotSpecified = 0, Embedded = 1, NonEmbedded = 2, Dynamic = 3, DynamicAlways = 4 };
}

ScripterExport BOOL ExecuteMAXScriptScript(const wchar_t* s, MAXScript::ScriptSource scriptSource,
                                           BOOL quietErrors = FALSE, FPValue* fpv = nullptr,
                                           BOOL logQuietErrors = TRUE);
