#include "DialogTemplates.h"

#include <string>

namespace maxhost {
namespace {

const BYTE* SkipSzOrOrd(const BYTE* p) {
    const WORD* w = reinterpret_cast<const WORD*>(p);
    if (*w == 0x0000) return p + 2;
    if (*w == 0xFFFF) return p + 4;
    while (*w) ++w;
    return reinterpret_cast<const BYTE*>(w + 1);
}

const BYTE* AlignDword(const BYTE* base, const BYTE* p) {
    size_t offset = static_cast<size_t>(p - base);
    return base + ((offset + 3) & ~static_cast<size_t>(3));
}

// Both layouts: DIALOGEX (DLGTEMPLATEEX) and the classic DIALOG (DLGTEMPLATE).
std::set<int> ControlIds(const BYTE* base) {
    std::set<int> ids;
    const WORD* words = reinterpret_cast<const WORD*>(base);
    bool extended = words[0] == 1 && words[1] == 0xFFFF;
    const BYTE* p = base;
    DWORD style;
    int count;
    if (extended) {
        style = *reinterpret_cast<const DWORD*>(p + 12);
        count = *reinterpret_cast<const WORD*>(p + 16);
        p += 26;
    } else {
        style = *reinterpret_cast<const DWORD*>(p);
        count = *reinterpret_cast<const WORD*>(p + 8);
        p += 18;
    }
    p = SkipSzOrOrd(p);   // menu
    p = SkipSzOrOrd(p);   // class
    p = SkipSzOrOrd(p);   // title
    if (style & DS_SETFONT) {
        p += extended ? 6 : 2;
        p = SkipSzOrOrd(p);
    }
    for (int i = 0; i < count; ++i) {
        p = AlignDword(base, p);
        int id;
        if (extended) {
            id = static_cast<int>(*reinterpret_cast<const DWORD*>(p + 20));
            p += 24;
        } else {
            id = *reinterpret_cast<const WORD*>(p + 16);
            p += 18;
        }
        p = SkipSzOrOrd(p);   // class
        p = SkipSzOrOrd(p);   // text
        WORD extra = *reinterpret_cast<const WORD*>(p);
        p += 2 + extra;
        if (id != -1 && id != 0xFFFF && id != 0) ids.insert(id & 0xFFFF);
    }
    return ids;
}

BOOL CALLBACK CollectDialog(HMODULE module, LPCWSTR, LPWSTR name, LONG_PTR context) {
    if (!IS_INTRESOURCE(name)) return TRUE;
    HRSRC found = ::FindResourceW(module, name, MAKEINTRESOURCEW(5));
    HGLOBAL loaded = found ? ::LoadResource(module, found) : nullptr;
    const BYTE* data = loaded ? static_cast<const BYTE*>(::LockResource(loaded)) : nullptr;
    if (data) {
        auto& all = *reinterpret_cast<std::map<int, std::set<int>>*>(context);
        all[static_cast<int>(reinterpret_cast<ULONG_PTR>(name))] = ControlIds(data);
    }
    return TRUE;
}

} // namespace

bool DialogTemplates::Load(const std::wstring& resourceFile) {
    HMODULE module = ::LoadLibraryExW(resourceFile.c_str(), nullptr,
                                      LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (!module) return false;
    ::EnumResourceNamesW(module, MAKEINTRESOURCEW(5), CollectDialog, reinterpret_cast<LONG_PTR>(&controls_));
    ::FreeLibrary(module);
    return !controls_.empty();
}

int DialogTemplates::TemplateOf(HWND window) const {
    int best = 0;
    size_t bestCount = 0;
    for (const auto& entry : controls_) {
        if (entry.second.empty()) continue;
        bool all = true;
        for (int id : entry.second)
            if (!::GetDlgItem(window, id)) { all = false; break; }
        if (all && entry.second.size() > bestCount) {
            best = entry.first;
            bestCount = entry.second.size();
        }
    }
    return best;
}

} // namespace maxhost
