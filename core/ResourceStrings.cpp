#include "core/ResourceStrings.h"

#include <atomic>
#include <cstdlib>
#include <cwchar>
#include <map>
#include <mutex>
#include <string>
#include <utility>

namespace rud {
namespace {

std::atomic<HINSTANCE> moduleInstance{nullptr};
std::atomic<HINSTANCE> languageModule{nullptr};
std::atomic<LanguagePackQuery> languagePackQuery{nullptr};
std::once_flag languageModuleLoaded;

// Every text handed out stays where it is for the module's lifetime: 3ds Max keeps the class
// name, the category and the description it was given, and the progress window's thread reads
// texts while 3ds Max's thread asks for others. One entry per language module and string, so
// the memory is bounded by the string table. Map nodes never move.
std::mutex lastingLock;
std::map<std::pair<HINSTANCE, int>, std::wstring> lastingTexts;

std::wstring ModuleFolderAndName(std::wstring& fileName) {
    wchar_t path[MAX_PATH * 2] = {};
    DWORD length = ::GetModuleFileNameW(moduleInstance.load(), path, MAX_PATH * 2);
    std::wstring full(path, length);
    size_t slash = full.find_last_of(L"\\/");
    fileName = slash == std::wstring::npos ? full : full.substr(slash + 1);
    return slash == std::wstring::npos ? std::wstring() : full.substr(0, slash);
}

HINSTANCE LoadLanguageFile() {
    std::wstring fileName;
    std::wstring folder = ModuleFolderAndName(fileName);
    std::wstring wanted = ChosenLanguage();
    // Chinese variants other than zh-CN still read the Simplified Chinese file.
    std::wstring candidates[] = {wanted, wanted.rfind(L"zh", 0) == 0 ? L"zh-CN" : L"en-US", L"en-US"};
    for (const std::wstring& locale : candidates) {
        std::wstring path = folder + L"\\" + locale + L"\\" + fileName + L".mui";
        HMODULE module = ::LoadLibraryExW(path.c_str(), nullptr,
                                          LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
        if (module) return module;
    }
    return moduleInstance.load();
}

const wchar_t* LastingText(int id) {
    if (!moduleInstance.load()) return nullptr;
    HINSTANCE module = LanguageModule();
    if (!module) return nullptr;
    wchar_t buffer[256] = {};
    if (::LoadStringW(module, static_cast<UINT>(id), buffer, 256) == 0) return nullptr;
    const std::lock_guard<std::mutex> guard(lastingLock);
    return lastingTexts.try_emplace({module, id}, buffer).first->second.c_str();
}

} // namespace

void SetModuleInstance(HINSTANCE instance) { moduleInstance.store(instance); }

void SetLanguagePackQuery(LanguagePackQuery query) { languagePackQuery.store(query); }

std::wstring ChosenLanguage() {
    if (const wchar_t* forced = _wgetenv(L"RUD_LANGUAGE"); forced && *forced) return forced;
    LanguagePackQuery query = languagePackQuery.load();
    std::wstring pack = query ? query() : std::wstring();
    return pack.empty() ? L"en-US" : pack;
}
HINSTANCE ModuleInstance() { return moduleInstance.load(); }

HINSTANCE LanguageModule() {
    if (HINSTANCE module = languageModule.load()) return module;
    if (!moduleInstance.load()) return nullptr;
    std::call_once(languageModuleLoaded, [] {
        if (!languageModule.load()) languageModule.store(LoadLanguageFile());
    });
    return languageModule.load();
}

void SetLanguageModule(HINSTANCE module) { languageModule.store(module); }

const wchar_t* LoadResourceTextA(int id) { return LastingText(id); }
const wchar_t* LoadResourceTextB(int id) { return LastingText(id); }

std::wstring ResourceText(int id) {
    const wchar_t* text = LoadResourceTextA(id);
    return text ? std::wstring(text) : std::wstring();
}

std::wstring WorkerText(int id) {
    const wchar_t* text = LoadResourceTextB(id);
    return text ? std::wstring(text) : std::wstring();
}

std::wstring WorkerTextWith(int id, const std::wstring& value) {
    std::wstring text = WorkerText(id);
    const size_t slot = text.find(L"%s");
    if (slot != std::wstring::npos) text.replace(slot, 2, value);
    return text;
}

WORD MessageBoxLanguage(const wchar_t* languageMarker) {
    return (languageMarker && std::wcscmp(languageMarker, L"0") == 0) ? 1033 : 1;
}

WORD CurrentMessageBoxLanguage() {
    wchar_t marker[256] = {};
    HINSTANCE module = LanguageModule();
    if (module) ::LoadStringW(module, 57, marker, 256);
    return MessageBoxLanguage(marker);
}

} // namespace rud
