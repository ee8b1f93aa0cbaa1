// The farm's character rules for reference file names and camera names.
//
// The rules are regular expressions (ECMAScript, wide text), and they stay the one definition
// of which characters pass. They are not run on whole paths, though: both standard library
// regex engines we build with recurse once per repeated character, so matching "[...]+"
// against a long path can exhaust the stack of the host's thread, and on an analysis with tens
// of thousands of files it is slow. Each rule is about single UTF-16 code units, so the regex
// is asked once per code unit, the first time that unit is met, and the answer is kept in a
// table; a whole text is then checked in one pass over its code units. (Asking about all 65,536
// units up front cost some 60 ms at the first dialog of a session.)
#include "analysis/SceneChecks.h"

#include <atomic>
#include <cwchar>
#include <regex>

namespace rud {
namespace {

constexpr wchar_t kCameraNameCharacters[] = L"\\/:*?\"<>|%";  // the last, '%', stays in display names

enum : unsigned char { kCyrillic = 1, kAllowed = 2, kKnown = 4 };

// Atomic entries, so that threads may meet a unit first at the same time: each stores the same
// answer.
unsigned char RuleFlags(wchar_t unit) {
    static std::atomic<unsigned char> table[0x10000];
    std::atomic<unsigned char>& entry = table[static_cast<unsigned>(unit) & 0xFFFF];
    unsigned char flags = entry.load(std::memory_order_relaxed);
    if (flags & kKnown) return flags;
    const std::wstring one(1, unit);
    flags = kKnown;
    if (std::regex_search(one, CyrillicRule())) flags |= kCyrillic;
    if (std::regex_match(one, AllowedCharactersRule())) flags |= kAllowed;
    entry.store(flags, std::memory_order_relaxed);
    return flags;
}

bool HasFlag(wchar_t unit, unsigned char flag) {
    return (RuleFlags(unit) & flag) != 0;
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
