#include "analysis/SceneAcceptance.h"

#include "core/ClientInfo.h"

#include <algorithm>
#include <cwchar>

namespace rud {

int CompareVersionText(const std::wstring& a, const std::wstring& b) {
    size_t common = std::min(a.size(), b.size());
    for (size_t i = 0; i < common; ++i) {
        if (a[i] != b[i]) return a[i] < b[i] ? -1 : 1;
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

bool ClientVersionAccepted(const std::wstring& lowerVersion) {
    return !lowerVersion.empty() && CompareVersionText(lowerVersion, kPluginVersion) <= 0;
}

namespace {

bool IsAllowedSceneCharacter(wchar_t c) {
    if ((c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z') || (c >= L'0' && c <= L'9')) return true;
    if (c >= 0x4E00 && c <= 0x9FFF) return true;
    if (c == 0x20AC || c == 0xFE39) return true;
    return std::wcschr(L"~!#?^()}:.;,[]+_=- ", c) != nullptr && c != L'\0';
}

} // namespace

bool IsAllowedSceneName(const std::wstring& name) {
    return !name.empty() && std::all_of(name.begin(), name.end(), IsAllowedSceneCharacter);
}

bool SceneFileNameAccepted(const std::wstring& fileName) {
    if (fileName.empty()) return true;
    size_t dot = fileName.rfind(L'.');
    std::wstring base = dot == std::wstring::npos ? fileName : fileName.substr(0, dot);
    if (!base.empty() && (base.back() == L' ' || base.back() == L'.')) return false;
    if (base.find(L'`') != std::wstring::npos) return false;
    return IsAllowedSceneName(base);
}

} // namespace rud
