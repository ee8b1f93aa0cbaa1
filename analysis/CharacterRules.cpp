// The farm's character rules for reference file names and camera names.
//
// The rules are regular expressions (ECMAScript, wide text), and they stay the one definition
// of which characters pass. They are not run on whole paths, though: both standard library
// regex engines we build with recurse once per repeated character, so matching "[...]+"
// against a long path can exhaust the stack of the host's thread, and on an analysis with tens
// of thousands of files it is slow. Each rule is about single UTF-16 code units, so the regex
// is asked once per code unit (at first use) and the answers are kept in a table; a whole text
// is then checked in one pass over its code units.
#include "analysis/SceneChecks.h"

#include <array>
#include <cwchar>
#include <regex>

namespace rud {
namespace {

constexpr wchar_t kCameraNameCharacters[] = L"\\/:*?\"<>|%";  // the last, '%', stays in display names

enum : unsigned char { kCyrillic = 1, kAllowed = 2 };

using CodeUnitTable = std::array<unsigned char, 0x10000>;

const CodeUnitTable& RuleTable() {
    static const CodeUnitTable table = [] {
        CodeUnitTable built{};
        const std::wregex& cyrillic = CyrillicRule();
        const std::wregex& allowed = AllowedCharactersRule();
        for (unsigned unit = 0; unit < 0x10000; ++unit) {
            const std::wstring one(1, static_cast<wchar_t>(unit));
            unsigned char flags = 0;
            if (std::regex_search(one, cyrillic)) flags |= kCyrillic;
            if (std::regex_match(one, allowed)) flags |= kAllowed;
            built[unit] = flags;
        }
        return built;
    }();
    return table;
}

bool HasFlag(wchar_t unit, unsigned char flag) {
    return (RuleTable()[static_cast<unsigned>(unit) & 0xFFFF] & flag) != 0;
}

} // namespace

const std::wregex& CyrillicRule() {
    static const std::wregex rule(L"[\\u0400-\\u052F]", std::regex_constants::ECMAScript);
    return rule;
}

const std::wregex& AllowedCharactersRule() {
    static const std::wregex rule(
        L"[A-Za-z0-9\\u4E00-\\u9FFF~!\\uFF01\\u0040#\\uFFE5$\\u2026\\u2026&^()\\uFF08\\uFF09"
        L"\\u2014\\u300C\\u300D\\u3010\\u3011{}:\\u3001\\\\; \\uFF1B\\u201C\\u201D\\u2019'\\u2018"
        L"\\u300A\\u300B\\u0060\\u00B7\\uFF1F\\uFF1A\\uFF0C, \\u3002.\\[\\]\\+_\\=\\/-]+",
        std::regex_constants::ECMAScript);
    return rule;
}

bool HasCyrillic(const std::wstring& text) {
    for (wchar_t unit : text)
        if (HasFlag(unit, kCyrillic)) return true;
    return false;
}

bool IsAllowedReferenceName(const std::wstring& text) {
    if (text.empty()) return false;
    for (wchar_t unit : text)
        if (!HasFlag(unit, kAllowed)) return false;
    return true;
}

bool HasCameraNameCharacter(const std::wstring& text) {
    return text.find_first_of(kCameraNameCharacters) != std::wstring::npos;
}

std::wstring CameraDisplayName(const std::wstring& key) {
    std::wstring display;
    display.reserve(key.size());
    for (wchar_t unit : key) {
        const wchar_t* hit = std::wcschr(kCameraNameCharacters, unit);
        // wcschr also finds the terminator; '%' (the last of the ten) is kept.
        if (unit == L'\0' || !hit || unit == L'%') display += unit;
    }
    return display;
}

bool IsValidCameraKey(const std::wstring& key) {
    if (key.empty()) return false;
    if (key.front() == L' ' || key.back() == L' ') return false;
    if (key.front() == L'.' || key.back() == L'.') return false;
    if (key.find(L'\u0060') != std::wstring::npos) return false;
    return !HasCameraNameCharacter(key);
}

} // namespace rud
