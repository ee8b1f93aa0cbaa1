// A stand-in for 3ds Max 2025: loads the plug-in the way the host does, shows its menu, runs
// its actions, and can be driven unattended (see README.md).
#include "ActionTexts.h"
#include "BundleDiscovery.h"
#include "DialogTemplates.h"
#include "HostOptions.h"
#include "HostOutput.h"
#include "HostSave.h"
#include "HostWindow.h"
#include "MenuLoads.h"
#include "MessageBoxWatcher.h"
#include "ScriptHandler.h"
#include "StandinScene.h"
#include "StepDriver.h"

#include "MaxStandin.h"
#include <max.h>  // before gup.h, which does not stand alone
#include <gup.h>
#include <notify.h>
#include <plugapi.h>

#include <windows.h>
#include <commctrl.h>
#include <ole2.h>
#include <shellapi.h>

#include <cstdlib>
#include <memory>

namespace maxhost {
namespace {

enum ExitCode { kOk = 0, kBadCommandLine = 2, kLoadFailed = 3, kStepFailed = 4, kBadSteps = 5 };

using DescriptionFn = const MCHAR* (*)();
using CountFn = int (*)();
using ClassDescFn = ClassDesc* (*)(int);
using VersionFn = ULONG (*)();
using InitFn = int (*)();

struct Plugin {
    HMODULE module = nullptr;
    DescriptionFn description = nullptr;
    CountFn numberClasses = nullptr;
    ClassDescFn classDesc = nullptr;
    VersionFn version = nullptr;
    InitFn initialize = nullptr;
    InitFn shutdown = nullptr;
    GUP* utility = nullptr;
};

template <typename T>
bool Find(HMODULE module, const char* name, T& function) {
    function = reinterpret_cast<T>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
    if (!function) PrintLine(L"LOAD FAILED missing export " + FromUtf8(name));
    return function != nullptr;
}

bool LoadPlugin(const std::wstring& path, Plugin& plugin) {
    plugin.module = ::LoadLibraryW(path.c_str());
    if (!plugin.module) {
        PrintLine(L"LOAD FAILED " + path + L" (error " + std::to_wstring(::GetLastError()) + L")");
        return false;
    }
    if (!Find(plugin.module, "LibVersion", plugin.version) || !Find(plugin.module, "LibNumberClasses", plugin.numberClasses) ||
        !Find(plugin.module, "LibClassDesc", plugin.classDesc) || !Find(plugin.module, "LibDescription", plugin.description) ||
        !Find(plugin.module, "LibInitialize", plugin.initialize) || !Find(plugin.module, "LibShutdown", plugin.shutdown))
        return false;
    ULONG version = plugin.version();
    if (version != static_cast<ULONG>(VERSION_3DSMAX)) {
        PrintLine(L"LOAD FAILED version " + std::to_wstring(version));
        return false;
    }
    int classes = plugin.numberClasses();
    ClassDesc* descriptor = classes > 0 ? plugin.classDesc(0) : nullptr;
    const MCHAR* description = plugin.description();
    PrintLine(L"PLUGIN " + std::wstring(description ? description : L"(no description)"));
    if (!plugin.initialize()) {
        PrintLine(L"LOAD FAILED LibInitialize");
        return false;
    }
    if (descriptor && descriptor->SuperClassID() == GUP_CLASS_ID) {
        plugin.utility = static_cast<GUP*>(descriptor->Create(FALSE));
        if (plugin.utility) plugin.utility->Start();
    }
    return true;
}

void UnloadPlugin(Plugin& plugin) {
    if (plugin.utility) {
        plugin.utility->Stop();
        plugin.utility->DeleteThis();
    }
    if (plugin.shutdown) plugin.shutdown();
    maxstandin::ResetActions();
    if (plugin.module) ::FreeLibrary(plugin.module);
}

std::wstring LanguageFile(const std::wstring& pluginPath, const std::wstring& language) {
    size_t slash = pluginPath.find_last_of(L"\\/");
    std::wstring folder = slash == std::wstring::npos ? L"." : pluginPath.substr(0, slash);
    std::wstring name = slash == std::wstring::npos ? pluginPath : pluginPath.substr(slash + 1);
    return folder + L"\\" + (language.empty() ? L"en-US" : language) + L"\\" + name + L".mui";
}

class RefusingExitCallback final : public ExitMAXCallback {
public:
    BOOL Exit(HWND) override { return FALSE; }
};

int Run(HINSTANCE instance) {
    int argc = 0;
    wchar_t** argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    HostOptions options;
    std::wstring error;
    bool parsed = argv && ParseHostOptions(argc, argv, options, error);
    if (argv) ::LocalFree(argv);
    if (!parsed) {
        PrintLine(L"USAGE " + error);
        return kBadCommandLine;
    }
    std::vector<std::wstring> steps;
    if (!options.stepsPath.empty() && !ReadSteps(options.stepsPath, steps)) {
        PrintLine(L"STEPS cannot read " + options.stepsPath);
        return kBadSteps;
    }
    // The language pack 3ds Max runs in, whatever language Windows speaks.
    maxstandin::SetLanguagePack(options.language.empty() ? L"en-US" : options.language);

    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);
    (void)::OleInitialize(nullptr);

    StandinScene scene(options.scenePath, options.failSave, options.saveMilliseconds, options.saveWrites);
    maxstandin::SetCoreInterface(&scene);
    ScriptSettings scripts{options.analysisPath, [&scene] { return scene.ScenePath(); }};
    InstallScriptHandler(scripts);

    HostWindow window;
    std::wstring sceneName = scene.GetCurFileName().data();
    if (!window.Create(instance, L"", !options.noMainWindow)) {
        PrintLine(L"LOAD FAILED main window");
        return kLoadFailed;
    }
    scene.SetMainWindow(window.Handle());
    window.ShowScene(sceneName);

    // As 3ds Max: without --plugin, whatever the installed application bundles name.
    std::vector<std::wstring> modules = options.pluginPath.empty() ? DiscoverBundlePlugins(HostRelease{})
                                                                   : std::vector<std::wstring>{options.pluginPath};
    if (modules.empty()) PrintLine(L"LOAD FAILED no plug-in (no --plugin, no bundle for 3ds Max 2025)");
    std::vector<Plugin> plugins(modules.size());
    bool loaded = !modules.empty();
    for (size_t i = 0; loaded && i < modules.size(); ++i) loaded = LoadPlugin(modules[i], plugins[i]);
    if (!loaded) {
        for (Plugin& plugin : plugins) UnloadPlugin(plugin);
        maxstandin::SetCoreInterface(nullptr);
        return kLoadFailed;
    }
    // Start-up and one menu-file load, as 3ds Max raises them.
    if (!LoadMenus(window, 2)) {
        for (Plugin& plugin : plugins) UnloadPlugin(plugin);
        maxstandin::SetCoreInterface(nullptr);
        return kLoadFailed;
    }
    // Another plug-in's exit callback, registered after ours, that keeps 3ds Max open (as one
    // with unsaved work of its own would).
    RefusingExitCallback refusing;
    if (options.refuseQuit) maxstandin::AddExitCallback(&refusing);
    for (const std::wstring& line : ActionTextLines(*maxstandin::StandardActionManager())) PrintLine(line);
    PrintLine(options.noMainWindow ? L"READY (no main window)" : L"READY");
    StartAutobackup(window.Handle(), options.autobackupMilliseconds, [&scene] { return scene.SavesFail(); });

    DialogTemplates templates;
    for (const std::wstring& module : modules)
        if (templates.Load(LanguageFile(module, options.language)) || templates.Load(LanguageFile(module, L""))) break;

    int exitCode = kOk;
    {
        std::unique_ptr<MessageBoxWatcher> watcher;
        if (options.autoAnswer || !steps.empty()) watcher = std::make_unique<MessageBoxWatcher>(options.autoAnswer, &templates);
        std::unique_ptr<StepDriver> driver;
        if (!steps.empty()) {
            SetStepTimeout(options.stepTimeoutSeconds * 1000);
            driver = std::make_unique<StepDriver>(window, scene, *watcher, templates, steps, options.shotsFolder);
            driver->Start();
        }
        if (options.runAction) {
            IActionManager* actions = maxstandin::StandardActionManager();
            for (int i = 0; i < actions->NumActionTables(); ++i) {
                ActionTable* table = actions->GetTable(i);
                if (table && table->GetAction(options.runAction)) {
                    PrintLine(L"ACTION " + std::to_wstring(options.runAction));
                    window.RunAction(table->GetId(), options.runAction);
                    PrintLine(L"ACTION " + std::to_wstring(options.runAction) + L" returned");
                    break;
                }
            }
        }
        bool unattended = options.runAction || driver;
        bool closing = false;
        MSG message;
        for (;;) {
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
            bool quit = false;
            while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
                if (message.message == WM_QUIT) { quit = true; break; }
                ::TranslateMessage(&message);
                ::DispatchMessageW(&message);
            }
            if (quit) break;
            if (unattended && !options.stay && !closing && !window.InAction() && (!driver || driver->Finished())) {
                closing = true;
                window.RequestClose();
            }
        }
        if (driver && driver->Failed()) exitCode = kStepFailed;
        driver.reset();
        watcher.reset();
    }
    if (options.refuseQuit) maxstandin::RemoveExitCallback(&refusing);
    for (Plugin& plugin : plugins) UnloadPlugin(plugin);
    maxstandin::SetScriptHandler(nullptr, nullptr);
    maxstandin::SetCoreInterface(nullptr);
    ::OleUninitialize();
    PrintLine(L"EXIT " + std::to_wstring(exitCode));
    return exitCode;
}

} // namespace
} // namespace maxhost

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    try {
        return maxhost::Run(instance);
    } catch (...) {
        maxhost::PrintLine(L"CRASH unexpected exception");
        return 1;
    }
}
