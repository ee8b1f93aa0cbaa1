// The stand-in headers declare what the plug-in uses exactly as 3ds Max 2025's do, or a mistake
// that the real SDK would reject (or compile differently) builds here unnoticed. Compiled into
// the stand-in core library, so a stand-in header that drifts from the real one stops the build.
#include <max.h>

#include <CUI/ICuiMenu.h>
#include <CUI/ICuiMenuManager.h>
#include <MaxGuid.h>
#include <actiontable.h>
#include <custcont.h>
#include <gup.h>
#include <ifnpub.h>
#include <iparamb2.h>
#include <maxscript/maxscript.h>
#include <notify.h>
#include <systemutilities.h>
#include <winutil.h>

#include <cstddef>
#include <type_traits>

namespace {

using MaxSDK::MaxGuid;
using MaxSDK::CUI::ICuiActionMenuItem;
using MaxSDK::CUI::ICuiMenu;
using MaxSDK::CUI::ICuiMenuItem;
using MaxSDK::CUI::ICuiMenuManager;
template <typename A, typename B>
constexpr bool same = std::is_same_v<A, B>;

// Language pack: no argument, in MaxSDK::Util.
static_assert(same<decltype(&MaxSDK::Util::UseLanguagePackLocale), void (*)()>);
static_assert(same<decltype(&MaxSDK::Util::GetLanguagePackDirName), const MCHAR* (*)()>);
static_assert(same<decltype(&MaxSDK::Util::GetLanguageID), WORD (*)()>);

// The helpers and the tooltip extender live in winutil.h; there is no ToolTipExtender.h.
#if __has_include(<ToolTipExtender.h>)
#error "the SDK has no ToolTipExtender.h: ToolTipExtender is declared in winutil.h"
#endif
static_assert(same<decltype(&::SetCheckBox), void (*)(HWND, int, BOOL)>);
static_assert(same<decltype(&::GetCheckBox), BOOL (*)(HWND, int)>);
static_assert(same<decltype(&::SetWindowTextInt), BOOL (*)(HWND, int)>);
static_assert(same<decltype(&::SetWindowTextFloat), BOOL (*)(HWND, float, int)>);
static_assert(same<decltype(&ToolTipExtender::SetToolTip), void (ToolTipExtender::*)(HWND, const MSTR&)>);
static_assert(same<decltype(&ToolTipExtender::RemoveToolTips), void (ToolTipExtender::*)()>);

// Spinners: the message is written without parentheses, the edit types are an enum.
static_assert(CC_SPINNER_CHANGE == WM_USER + 600);
static_assert(2 * CC_SPINNER_CHANGE == 2 * WM_USER + 600, "CC_SPINNER_CHANGE has no parentheses");
static_assert(std::is_enum_v<EditSpinnerType> && EDITTYPE_INT == 0 && EDITTYPE_FLOAT == 1);
static_assert(same<decltype(&::GetISpinner), ISpinnerControl* (*)(HWND)>);
static_assert(same<decltype(&::ReleaseISpinner), void (*)(ISpinnerControl*)>);
static_assert(same<decltype(&::SetupFloatSpinner), ISpinnerControl* (*)(HWND, int, int, float, float, float, float)>);

// Actions.
static_assert(same<ActionTableId, DWORD> && same<ActionContextId, DWORD>);
static_assert(std::is_constructible_v<ActionTable, ActionTableId, ActionContextId, MSTR&, HACCEL, int,
                                      ActionDescription*, HINSTANCE>);
static_assert(sizeof(ActionDescription) == 4 * sizeof(int) && offsetof(ActionDescription, mCmdID) == 0 &&
              offsetof(ActionDescription, mDescriptionResourceID) == sizeof(int) &&
              offsetof(ActionDescription, mShortNameResourceID) == 2 * sizeof(int) &&
              offsetof(ActionDescription, mCategoryResourceID) == 3 * sizeof(int));
static_assert(same<decltype(&ActionTable::GetMenuText), BOOL (ActionTable::*)(int, MSTR&)>);
static_assert(same<decltype(&ActionTable::GetAction), ActionItem* (ActionTable::*)(int)>);
static_assert(!std::is_abstract_v<ActionCallback>, "ExecuteAction has a default");
static_assert(same<decltype(&ActionCallback::ExecuteAction), BOOL (ActionCallback::*)(int)>);
static_assert(same<decltype(&IActionManager::RegisterActionContext), BOOL (IActionManager::*)(ActionContextId, const MCHAR*)>);
static_assert(same<decltype(&IActionManager::RegisterActionTable), void (IActionManager::*)(ActionTable*)>);
static_assert(same<decltype(&IActionManager::ActivateActionTable), int (IActionManager::*)(ActionCallback*, ActionTableId)>);
static_assert(same<decltype(&IActionManager::FindTable), ActionTable* (IActionManager::*)(ActionTableId)>);

// Notifications and menus.
static_assert(NOTIFY_CUI_REGISTER_MENUS == 0x120 && NOTIFY_SYSTEM_SHUTDOWN == 0x49);
static_assert(same<NOTIFYPROC, void (*)(void*, NotifyInfo*)>);
static_assert(same<decltype(&::RegisterNotification), int (*)(NOTIFYPROC, void*, int)>);
static_assert(same<decltype(&ICuiMenuManager::GetMainMenuBar), ICuiMenu* (ICuiMenuManager::*)() const>);
static_assert(same<decltype(&ICuiMenu::CreateSubMenu),
                   ICuiMenu* (ICuiMenu::*)(const MaxGuid&, const MSTR&, const MaxGuid&)>);
static_assert(same<decltype(&ICuiMenu::CreateAction), ICuiActionMenuItem* (ICuiMenu::*)(
                   const MaxGuid&, ActionTableId, int, const MSTR&, const MaxGuid&)>);
static_assert(same<decltype(&ICuiMenu::CreateSeparator), ICuiMenuItem* (ICuiMenu::*)(const MaxGuid&, const MaxGuid&)>);
static_assert(std::is_base_of_v<GUID, MaxGuid> && !std::is_convertible_v<const wchar_t*, MaxGuid>);
static_assert(same<decltype(&MaxGuid::CreateMaxGuid), MaxGuid (*)()>);
static_assert(same<decltype(&MaxGuid::IsValid), bool (MaxGuid::*)() const>);

// Library, utility plug-in, class descriptor.
static_assert(VERSION_3DSMAX == 0x69784200 && MAX_RELEASE == 27000 && GUP_CLASS_ID == 0x10E0);
static_assert(GUPRESULT_KEEP == 0 && GUPRESULT_NOKEEP == 1 && GUPRESULT_ABORT == 3);
static_assert(same<decltype(&GUP::Start), DWORD (GUP::*)()> && same<decltype(&GUP::Control), DWORD_PTR (GUP::*)(DWORD)>);
static_assert(same<decltype(&ClassDesc::Create), void* (ClassDesc::*)(BOOL)>);
static_assert(same<decltype(&ClassDesc::HInstance), HINSTANCE (ClassDesc::*)()>);

// Host interface and scripts.
static_assert(same<decltype(&Interface::GetMAXHWnd), HWND (Interface::*)() const>);
static_assert(same<decltype(&Interface::GetCurFileName), MSTR& (Interface::*)()>);
static_assert(same<decltype(&Interface::SaveToFile), int (Interface::*)(const MCHAR*, BOOL, BOOL)>);
static_assert(same<decltype(&Interface::RegisterExitMAXCallback), void (Interface::*)(ExitMAXCallback*)> &&
              same<decltype(&Interface::UnRegisterExitMAXCallback), void (Interface::*)(ExitMAXCallback*)>);
static_assert(same<decltype(&ExitMAXCallback::Exit), BOOL (ExitMAXCallback::*)(HWND)> &&
              std::is_abstract_v<ExitMAXCallback> && std::has_virtual_destructor_v<ExitMAXCallback>);
static_assert(same<decltype(&::ExecuteMAXScriptScript), BOOL (*)(const MCHAR*, MAXScript::ScriptSource, BOOL, FPValue*, BOOL)>);
static_assert(same<std::underlying_type_t<MAXScript::ScriptSource>, int> &&
              static_cast<int>(MAXScript::ScriptSource::NonEmbedded) == 2);
static_assert(same<MCHAR, wchar_t> && same<MSTR, WStr>);

} // namespace
