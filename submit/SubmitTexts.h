#pragma once
// Texts the submission worker shows: string-table entries through loader B (the worker
// thread's loader), copied out of the loader's buffer at once.
#include "core/ResourceStrings.h"

#include <string>

namespace rud {

inline std::wstring WorkerText(int id) {
    const wchar_t* text = LoadResourceTextB(id);
    return text ? std::wstring(text) : std::wstring();
}

} // namespace rud
