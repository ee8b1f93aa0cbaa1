#include "../include/strclass.h"

#include <cstdlib>
#include <cwchar>
#include <cwctype>

WStr::WStr() : buffer(nullptr), count(0) { Assign(L""); }
WStr::WStr(const wchar_t* text) : buffer(nullptr), count(0) { Assign(text); }
WStr::WStr(const WStr& other) : buffer(nullptr), count(0) { Assign(other.data()); }
WStr::~WStr() { std::free(buffer); }

WStr& WStr::operator=(const WStr& other) {
    if (this != &other) Assign(other.data());
    return *this;
}

WStr& WStr::operator=(const wchar_t* text) {
    Assign(text);
    return *this;
}

void WStr::Assign(const wchar_t* text) {
    if (!text) text = L"";
    size_t n = std::wcslen(text);
    wchar_t* copy = static_cast<wchar_t*>(std::malloc((n + 1) * sizeof(wchar_t)));
    if (!copy) return;
    std::wmemcpy(copy, text, n + 1);
    std::free(buffer);
    buffer = copy;
    count = static_cast<int>(n);
}

const wchar_t* WStr::data() const { return buffer ? buffer : L""; }
int WStr::Length() const { return count; }

void WStr::toUpper() {
    for (int i = 0; i < count; ++i) buffer[i] = static_cast<wchar_t>(std::towupper(buffer[i]));
}

void WStr::toLower() {
    for (int i = 0; i < count; ++i) buffer[i] = static_cast<wchar_t>(std::towlower(buffer[i]));
}

bool WStr::operator==(const WStr& other) const { return std::wcscmp(data(), other.data()) == 0; }
