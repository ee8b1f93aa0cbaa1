#pragma once
// The host side of the stand-in core library: what the stand-in 3ds Max and the plug-in tests
// use to play the host. Plug-in code never includes this header.
#include "../include/CUI/ICuiMenu.h"
#include "../include/CUI/ICuiMenuManager.h"
#include "../include/actiontable.h"
#include "../include/maxapi.h"

#include <string>
#include <vector>

namespace maxstandin {

// The object GetCOREInterface returns (null: "no core interface").
CoreExport void SetCoreInterface(Interface* core);

// 3ds Max's main thread is the one that loaded its core library. Functions of the host that
// belong to that thread (MAXScript, scene saving, the scene's name and path, spinners and custom
// edits) call this first: off that thread it prints "HOST-THREAD <function>" and ends the
// process with kHostThreadExitCode at once, where the real host might corrupt the scene or crash.
// After the hand-back (MarkHandback) it first prints "HOST-CALL-AFTER-HANDBACK <function>".
constexpr int kHostThreadExitCode = 6;
CoreExport void RequireHostThread(const char* function);

// The host's own operations (a save, a script, an autobackup) run one at a time: one that starts
// while another is under way prints "HOST-NESTED <function>" and ends the process with
// kHostNestedExitCode at once.
constexpr int kHostNestedExitCode = 7;
CoreExport void BeginHostOperation(const char* function);
CoreExport void EndHostOperation();
CoreExport bool HostOperationRunning();
class HostOperationScope {
public:
    explicit HostOperationScope(const char* function) { BeginHostOperation(function); }
    ~HostOperationScope() { EndHostOperation(); }
    HostOperationScope(const HostOperationScope&) = delete;
    HostOperationScope& operator=(const HostOperationScope&) = delete;
};

// The hand-back: once the plug-in has given the artist 3ds Max back while its own work goes on
// (the steps say when: mark-handback), every function of the host's main thread that the plug-in
// calls prints "HOST-CALL-AFTER-HANDBACK <function>" (see RequireHostThread). The host's own
// operations (its autobackup, a step's save) do not pass there and are not counted.
CoreExport void MarkHandback(bool handedBack);
CoreExport bool HandedBack();

// The ExitMAXCallbacks the plug-ins registered through the core interface, in order; each
// registration prints "EXIT-CALLBACK REGISTERED <count>" and each removal
// "EXIT-CALLBACK UNREGISTERED <count>".
CoreExport void AddExitCallback(ExitMAXCallback* callback);
CoreExport void RemoveExitCallback(ExitMAXCallback* callback);
CoreExport int ExitCallbackCount();
// Asks every registered callback, as 3ds Max does when the artist closes it: true when none
// said FALSE.
CoreExport bool AskExitCallbacks(HWND mainWindow);

// The action manager the host hands out. ExecuteAction runs the callback activated for a table.
CoreExport IActionManager* StandardActionManager();
CoreExport std::wstring ActionContextName(ActionContextId context);
// Deletes every registered table and callback (call before the plug-in is unloaded).
CoreExport void ResetActions();
// How often a table with this ID was handed to RegisterActionTable since the last reset.
CoreExport int ActionTableRegistrations(ActionTableId id);

// The language pack 3ds Max "was started with" (default "en-US"): what GetLanguagePackDirName
// and GetLanguageID answer. Independent of the Windows user-interface language.
CoreExport void SetLanguagePack(const std::wstring& dirName);
// How often UseLanguagePackLocale was called, and whether a given thread called it.
CoreExport int LanguagePackLocaleCalls();
CoreExport bool ThreadUsedLanguagePack(DWORD threadId);

// Frees of an FPValue text that was already freed (a plug-in freeing a result twice).
CoreExport int FPValueDoubleFrees();

// The string resources an action table was built with: its HINSTANCE and its descriptions.
CoreExport HINSTANCE ActionTableInstance(ActionTable& table);
CoreExport std::vector<ActionDescription> ActionTableDescriptions(ActionTable& table);

// Number of handlers registered for a notification code.
CoreExport int NotificationHandlerCount(int code);

// MAXScript: the host decides what a script does. Without a handler every script fails.
using ScriptHandler = BOOL (*)(const wchar_t* script, void* context);
CoreExport void SetScriptHandler(ScriptHandler handler, void* context);

// A menu as plug-ins build it through ICuiMenu.
struct MenuEntry {
    enum Kind { SubMenu, Action, Separator } kind;
    MaxSDK::MaxGuid id;
    std::wstring title;
    ActionTableId tableId;
    int actionId;
    class Menu* subMenu;
};

class Menu final : public MaxSDK::CUI::ICuiMenu {
public:
    CoreExport explicit Menu(const std::wstring& title = std::wstring());
    CoreExport ~Menu() override;
    CoreExport const MaxSDK::MaxGuid& GetId() const override;
    CoreExport MaxSDK::CUI::ICuiMenu* CreateSubMenu(const MaxSDK::MaxGuid& id, const MSTR& title,
        const MaxSDK::MaxGuid& beforeId) override;
    CoreExport MaxSDK::CUI::ICuiActionMenuItem* CreateAction(const MaxSDK::MaxGuid& id,
        ActionTableId tableId, int actionId, const MSTR& title, const MaxSDK::MaxGuid& beforeId) override;
    CoreExport MaxSDK::CUI::ICuiMenuItem* CreateSeparator(const MaxSDK::MaxGuid& id,
        const MaxSDK::MaxGuid& beforeId) override;

    CoreExport const std::vector<MenuEntry>& Entries() const;
    const std::wstring& Title() const { return title_; }
    void SetId(const MaxSDK::MaxGuid& id) { id_ = id; }

private:
    Menu(const Menu&) = delete;
    Menu& operator=(const Menu&) = delete;
    size_t InsertPosition(const MaxSDK::MaxGuid& beforeId) const;
    MaxSDK::MaxGuid id_;
    std::wstring title_;
    std::vector<MenuEntry> entries_;
    std::vector<MaxSDK::CUI::ICuiMenuItem*> owned_;
};

// The menu manager handed out with notification 288: a fresh, empty main menu bar each time.
class MenuManager final : public MaxSDK::CUI::ICuiMenuManager {
public:
    MaxSDK::CUI::ICuiMenu* GetMainMenuBar() const override { return const_cast<Menu*>(&bar_); }
    const Menu& Bar() const { return bar_; }
private:
    Menu bar_;
};

// The custom control window classes "SpinnerControl" and "CustEdit" (registered on load).
CoreExport bool SpinnerClassRegistered();
CoreExport bool CustEditClassRegistered();

} // namespace maxstandin
