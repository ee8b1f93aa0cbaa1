#pragma once
// The module's instance handle, its language resource file, and the two string loaders.
// Each loader returns a pointer (or null) to a text that stays unchanged for the module's
// lifetime, so any thread may load texts and 3ds Max may keep what it was given.
#include <windows.h>

#include <string>

namespace rud {

// Recorded by the entry point on process attach.
void SetModuleInstance(HINSTANCE instance);
HINSTANCE ModuleInstance();

// The language folder name ("en-US", "zh-CN") of the language pack the host runs in. The entry
// point installs a query that asks the host; it is asked once, when the language file is first
// needed. Without a query the language is English.
using LanguagePackQuery = std::wstring (*)();
void SetLanguagePackQuery(LanguagePackQuery query);

// The language folder chosen: RUD_LANGUAGE when set (an explicit override for pipelines and
// support), else the host's language pack. Windows' own language plays no part: an English
// 3ds Max on a Chinese Windows speaks English.
std::wstring ChosenLanguage();

// The module that holds the string table and the dialog templates: the language resource file
// beside the plug-in (<folder>\<language>\<plug-in file name>.mui), loaded on first use; the
// plug-in module itself when no language file is found. Every consumer of resources uses it:
// the loaders, the dialog templates, and the action table (3ds Max loads the actions' names from
// the HINSTANCE given to the table). Tests may set it directly.
HINSTANCE LanguageModule();
void SetLanguageModule(HINSTANCE module);

// Loader A (plug-in shell and user interface) and loader B (submission worker thread).
const wchar_t* LoadResourceTextA(int id);
const wchar_t* LoadResourceTextB(int id);

// Owned copies of a text (empty when the table has no such string), for callers that hold
// several texts at once: ResourceText through loader A, WorkerText through loader B.
std::wstring ResourceText(int id);
std::wstring WorkerText(int id);
// WorkerText with its "%s" replaced by `value` (texts that name a path or a code).
std::wstring WorkerTextWith(int id, const std::wstring& value);

// Message box language: 1033 when string 57 reads exactly "0", otherwise 1.
WORD MessageBoxLanguage(const wchar_t* languageMarker);
// The same rule applied to string 57 of the language file (loader A).
WORD CurrentMessageBoxLanguage();

} // namespace rud
