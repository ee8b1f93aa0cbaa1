#include "core/FilePaths.h"

#include <windows.h>

namespace rud {
namespace {

// One of the path calls that take a buffer and return the length needed.
template <typename Call>
std::wstring Resolved(const std::wstring& path, Call call) {
    DWORD needed = call(path.c_str(), nullptr, 0);
    for (int tries = 0; needed != 0 && tries < 3; ++tries) {
        std::wstring result(needed, L'\0');
        const DWORD length = call(path.c_str(), &result[0], needed);
        if (length == 0) break;
        if (length < needed) return result.substr(0, length);
        needed = length;   // the path changed meanwhile
    }
    return std::wstring();
}

std::wstring FullPath(const std::wstring& path) {
    return Resolved(path, [](const wchar_t* in, wchar_t* out, DWORD size) {
        return ::GetFullPathNameW(in, size, out, nullptr);
    });
}

std::wstring LongPath(const std::wstring& path) {
    return Resolved(path, [](const wchar_t* in, wchar_t* out, DWORD size) { return ::GetLongPathNameW(in, out, size); });
}

} // namespace

std::wstring FileNameOf(const std::wstring& path) {
    const size_t separator = path.find_last_of(L"\\/");
    return separator == std::wstring::npos ? path : path.substr(separator + 1);
}

std::wstring LongFullPath(const std::wstring& path) {
    if (path.empty()) return path;
    const std::wstring full = FullPath(path);
    if (full.empty()) return path;
    if (std::wstring longPath = LongPath(full); !longPath.empty()) return longPath;
    // A file still to be made: its folder may be written with short names all the same.
    const size_t separator = full.find_last_of(L'\\');
    if (separator == std::wstring::npos || separator + 1 == full.size()) return full;
    const std::wstring folder = LongPath(full.substr(0, separator + 1));
    return folder.empty() ? full : folder + (folder.back() == L'\\' ? L"" : L"\\") + full.substr(separator + 1);
}

bool SameFilePath(const std::wstring& a, const std::wstring& b) {
    if (a.empty() || b.empty()) return false;
    const std::wstring longA = LongFullPath(a), longB = LongFullPath(b);
    return ::CompareStringOrdinal(longA.c_str(), -1, longB.c_str(), -1, TRUE) == CSTR_EQUAL;
}

} // namespace rud
