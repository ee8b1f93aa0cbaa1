// The stand-in SDK headers must declare what the plug-in uses exactly as 3ds Max 2025's do, or a
// mistake that the real SDK would reject (or compile differently) builds here unnoticed. The
// declarations are checked at compile time; the custom controls at run time.
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

#include "MaxStandin.h"
#include "core/WinHandles.h"

#include <gtest/gtest.h>

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
static_assert(same<decltype(&::ExecuteMAXScriptScript), BOOL (*)(const MCHAR*, MAXScript::ScriptSource, BOOL, FPValue*, BOOL)>);
static_assert(same<std::underlying_type_t<MAXScript::ScriptSource>, int> &&
              static_cast<int>(MAXScript::ScriptSource::NonEmbedded) == 2);
static_assert(same<MCHAR, wchar_t> && same<MSTR, WStr>);

// A dialog with a host spinner next to a custom edit, as the camera dialog's template has them.
struct SpinnerDialog {
    SpinnerDialog() {
        parent.reset(::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 200, 100, nullptr, nullptr, nullptr, nullptr));
        ::SetWindowLongPtrW(parent.get(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Record));
        edit = ::CreateWindowExW(0, L"CustEdit", L"", WS_CHILD, 0, 0, 60, 20, parent.get(),
                                 reinterpret_cast<HMENU>(1040), nullptr, nullptr);
        plain = ::CreateWindowExW(0, L"EDIT", L"", WS_CHILD, 0, 30, 60, 20, parent.get(),
                                  reinterpret_cast<HMENU>(1043), nullptr, nullptr);
        spin = ::CreateWindowExW(0, L"SpinnerControl", L"", WS_CHILD, 60, 0, 10, 20, parent.get(),
                                 reinterpret_cast<HMENU>(1041), nullptr, nullptr);
    }
    static LRESULT CALLBACK Record(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == CC_SPINNER_CHANGE) {
            lastId = LOWORD(wParam);
            lastSpinner = reinterpret_cast<ISpinnerControl*>(lParam);
            lastValue = lastSpinner ? lastSpinner->GetFVal() : -1.0f;
            return 0;
        }
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
    static std::wstring Text(HWND window) {
        wchar_t text[64] = {};
        ::GetWindowTextW(window, text, 64);
        return text;
    }
    rud::UniqueHwnd parent;
    HWND edit = nullptr, plain = nullptr, spin = nullptr;
    static inline int lastId = 0;
    static inline ISpinnerControl* lastSpinner = nullptr;
    static inline float lastValue = 0.0f;
};

TEST(StandInControls, SpinnerDrivesItsCustomEditAndReportsItselfInTheMessage) {
    ASSERT_TRUE(maxstandin::SpinnerClassRegistered() && maxstandin::CustEditClassRegistered());
    SpinnerDialog dialog;
    ASSERT_TRUE(dialog.edit && dialog.spin);
    ISpinnerControl* spinner = ::SetupFloatSpinner(dialog.parent.get(), 1041, 1040, 0.001f, 2048.0f, 1.5f, 0.001f);
    ASSERT_NE(spinner, nullptr);
    EXPECT_EQ(SpinnerDialog::Text(dialog.edit), L"1.500");
    ::SetWindowTextW(dialog.edit, L"2.25");
    spinner->SetValue(spinner->GetFVal(), TRUE);
    EXPECT_EQ(SpinnerDialog::lastId, 1041);
    ASSERT_NE(SpinnerDialog::lastSpinner, nullptr);
    EXPECT_EQ(SpinnerDialog::lastSpinner->GetHwnd(), dialog.spin) << "lParam is the ISpinnerControl*";
    EXPECT_FLOAT_EQ(SpinnerDialog::lastValue, 2.25f);
    ReleaseISpinner(spinner);

    // A plain Win32 edit is not linked: the spinner never writes into it.
    ISpinnerControl* unlinked = ::SetupFloatSpinner(dialog.parent.get(), 1041, 1043, 0.0f, 10.0f, 3.0f, 0.1f);
    ASSERT_NE(unlinked, nullptr);
    EXPECT_EQ(SpinnerDialog::Text(dialog.plain), L"");
    ReleaseISpinner(unlinked);
}

} // namespace
