#pragma once
// Paths as Windows itself tells files apart: full, long names, without regard to case.
#include <string>

namespace rud {

// The last part of a path, after the last separator of either kind.
std::wstring FileNameOf(const std::wstring& path);

// The full path with "\" separators and every existing part under its long name: a short name
// such as "VILLA~1.MAX" becomes the file Windows gave it to. A last part that does not exist is
// kept as written. Empty for an empty path.
std::wstring LongFullPath(const std::wstring& path);

// True when both paths name one file: their long full paths compared without regard to case.
// An empty path names no file.
bool SameFilePath(const std::wstring& a, const std::wstring& b);

} // namespace rud
