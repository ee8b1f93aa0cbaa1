#pragma once
// What the main dialog refuses before it analyses anything: a desktop client that wants a newer
// plug-in, and scene names the farm cannot carry.
#include <string>

namespace rud {

// Character-by-character comparison over the common length; on a tie the shorter text is
// smaller. Negative, zero or positive like wcscmp. Deliberately textual: "1.3.10" < "1.3.7".
int CompareVersionText(const std::wstring& a, const std::wstring& b);
// True when the client's lowest accepted version does not sort after our own.
bool ClientVersionAccepted(const std::wstring& lowerVersion);

// One or more of: ASCII letters and digits, U+4E00..U+9FFF, U+20AC, U+FE39 and
// ~ ! # ? ^ ( ) } : . ; , [ ] + _ = - and space.
bool IsAllowedSceneName(const std::wstring& name);
// The host's scene file name (with extension): cut before the last "." and checked. An empty
// name (a never-saved scene) passes.
bool SceneFileNameAccepted(const std::wstring& fileName);

} // namespace rud
