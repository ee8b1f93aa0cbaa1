// The class descriptor, the action table's menu texts and the action callback.
#include "analysis/RUDRenderingDataMgr.h"
#include "core/ResourceStrings.h"
#include "core/WinHandles.h"
#include "plugin/HostShutdown.h"
#include "host/HostThread.h"
#include "host/MaxHostOperations.h"
#include "plugin/PluginIdentifiers.h"
#include "plugin/RUD_ActionCallback.h"
#include "plugin/RUD_ActionTable.h"
#include "plugin/RUD_Rendering_2025ClassDesc.h"
#include "resources/StringIds.h"
#include "tests/plugin/PluginTestHost.h"
#include "core/MessageBoxes.h"
#include "tests/support/MessageBoxRecorder.h"

#include <gup.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <set>
#include <stdexcept>
#include <thread>
#include <tuple>

TEST(ClassDescriptor, AnswersTheHostsQuestions) {
    auto& descriptor = rud::RUD_Rendering_2025ClassDesc::Instance();
    EXPECT_TRUE(descriptor.IsPublic() == 1 && descriptor.SuperClassID() == 4320u);
    EXPECT_TRUE(descriptor.ClassID() == Class_ID(0x485C2835, 0x70747835));
    EXPECT_STREQ(descriptor.NonLocalizedClassName(), L"RUD_Rendering_2025");
    EXPECT_EQ(std::wstring(descriptor.ClassName()), rud::ResourceText(IDS_CLASS_NAME));
    EXPECT_EQ(std::wstring(descriptor.Category()), rud::ResourceText(IDS_CLASS_CATEGORY));
    EXPECT_EQ(descriptor.HInstance(), rud::ModuleInstance());
    for (BOOL loading : {FALSE, TRUE}) {
        auto* utility = static_cast<GUP*>(descriptor.Create(loading));
        ASSERT_NE(utility, nullptr);
        EXPECT_EQ(utility->Start(), 0u);
        utility->Stop();
        utility->DeleteThis();
    }
}

TEST(ActionTable, MenuTextsComeFromTheStringTableAndOtherIdsFromTheBase) {
    MSTR name(L"table");
    rud::RUD_ActionTable table(rud::kActionTableId, rud::kActionContextId, name, nullptr,
                               rud::ActionDescriptionCount(), rud::ActionDescriptions(), rud::ModuleInstance());
    ActionTable base(rud::kActionTableId, rud::kActionContextId, name, nullptr,
                     rud::ActionDescriptionCount(), rud::ActionDescriptions(), rud::ModuleInstance());
    for (auto [id, stringId] : {std::pair{1497, IDS_ACTION_SUBMIT}, std::pair{1498, IDS_ACTION_ABOUT}}) {
        MSTR text(L"unchanged");
        EXPECT_EQ(table.GetMenuText(id, text), TRUE) << id;
        EXPECT_TRUE(!rud::ResourceText(stringId).empty() && std::wstring(text.data()) == rud::ResourceText(stringId)) << id;
    }
    for (int id : {0, 1496, 1499, -1}) {
        MSTR mine(L"unchanged"), theirs(L"unchanged");
        EXPECT_EQ(table.GetMenuText(id, mine), base.GetMenuText(id, theirs)) << id;
        EXPECT_EQ(std::wstring(mine.data()), std::wstring(theirs.data())) << id;
    }
}

// Action 1498 with each language file: English string 57 is "0" (box language 1033), Chinese is "1".
// Unknown actions do nothing and still succeed.
TEST(ActionCallback, AboutBoxUsesTheStringTableAndItsLanguageRuleAndUnknownIdsDoNothing) {
    const HINSTANCE english = rud::LanguageModule();
    for (auto [locale, language] : {std::pair{L"zh-CN", WORD{1}}, std::pair{L"en-US", WORD{1033}}}) {
        const rud::UniqueModule module = rudtest::LoadLanguageFile(locale);
        ASSERT_TRUE(module) << locale;
        rud::SetLanguageModule(module.get());
        rudtest::MessageBoxRecorder boxes;
        for (int id : {0, 1, 1496, 1499, 9999, -1497}) EXPECT_EQ(rud::RUD_ActionCallback().ExecuteAction(id), TRUE) << id;
        EXPECT_EQ(rud::RUD_ActionCallback().ExecuteAction(rud::kActionAbout), TRUE);
        const std::wstring text = rud::ResourceText(IDS_ABOUT_TEXT), caption = rud::ResourceText(IDS_ABOUT_CAPTION);
        rud::SetLanguageModule(english);
        ASSERT_EQ(boxes.Count(), 1u) << locale;
        const rudtest::RecordedBox box = boxes.Boxes()[0];
        EXPECT_TRUE(box.owner == nullptr && box.type == static_cast<UINT>(MB_OK) && box.language == language) << locale;
        EXPECT_TRUE(!text.empty() && box.text == text && box.caption == caption) << locale;
    }
}

// A failed script leaves an error text in the result; the holder must free it exactly once.
TEST(ScriptValue, FailedScriptResultIsFreedOnce) {
    const int before = maxstandin::FPValueDoubleFrees();
    {
        rud::MaxHostOperations host;
        auto value = host.CreateScriptValue();
        EXPECT_EQ(host.ExecuteMAXScript(L"no handler answers this", *value), 0);
    }
    EXPECT_EQ(maxstandin::FPValueDoubleFrees(), before);
}

TEST(LibraryDescription, NoTextBeforeTheInstanceHandleIsRecorded) {
    const HINSTANCE recorded = rud::ModuleInstance();
    rud::SetModuleInstance(nullptr);
    const wchar_t* before = rud::LoadResourceTextA(IDS_LIB_DESCRIPTION);
    rud::SetModuleInstance(recorded);
    EXPECT_EQ(before, nullptr);
}

// Every host operation runs on the thread that made the adapter, whoever calls; a worker's call
// is served while that thread sits in its own loop, a message box or a modal dialog.
namespace {

struct ThreadRecordingHost final : rud::IHostOperations {
    std::map<std::string, std::set<DWORD>> seen;  // one call at a time: the caller waits for it
    template <typename T> T Note(const char* name, T answer) { seen[name].insert(::GetCurrentThreadId()); return answer; }
    struct Held : rud::IScriptValue, rud::IToolTip, rud::ISpinner {
        ThreadRecordingHost& h;
        explicit Held(ThreadRecordingHost& h) : h(h) {}
        ~Held() override { h.Note("release", 0); }
        void SetValue(float) override { h.Note("ISpinner::SetValue", 0); }
        float GetValue() override { return h.Note("ISpinner::GetValue", 2.0f); }
        void Enable(bool) override { h.Note("ISpinner::Enable", 0); }
        bool IsEnabled() override { return h.Note("ISpinner::IsEnabled", true); }
    };
    HWND main = nullptr;
    rud::HostThreadOperations* failingSaveNotices = nullptr;   // a failed save: "before", no "after"
    HWND MainWindow() override { return main; }
    bool HasActionManager() override { return Note("HasActionManager", true); }
    std::wstring CurrentSceneFileName() override { return Note("CurrentSceneFileName", std::wstring(L"a.max")); }
    std::wstring CurrentSceneFilePath() override { return Note("CurrentSceneFilePath", std::wstring(L"C:\\a.max")); }
    bool SaveScene() override { return Note("SaveScene", true); }
    bool SaveSceneTo(const std::wstring& path) override {
        if (failingSaveNotices) {
            failingSaveNotices->ActivityStarted(rud::HostActivity::kSaving);
            return Note("SaveSceneTo", false);
        }
        return path == L"throw" ? throw std::runtime_error("disk full") : Note("SaveSceneTo", true);
    }
    std::unique_ptr<rud::IScriptValue> CreateScriptValue() override { return Note("CreateScriptValue", std::make_unique<Held>(*this)); }
    int ExecuteMAXScript(const std::wstring&, rud::IScriptValue& value) override {
        return Note("ExecuteMAXScript", dynamic_cast<Held*>(&value) ? 1 : -1);  // its own value comes back
    }
    void SetCheckBox(HWND, int, bool) override { Note("SetCheckBox", 0); }
    void SetWindowTextInt(HWND, int) override { Note("SetWindowTextInt", 0); }
    void SetWindowTextFloat(HWND, float, int) override { Note("SetWindowTextFloat", 0); }
    std::unique_ptr<rud::ISpinner> SetupFloatSpinner(HWND, int, int, float, float, float, float) override { return Note("SetupFloatSpinner", std::make_unique<Held>(*this)); }
    std::unique_ptr<rud::ISpinner> GetSpinner(HWND) override { return Note("GetSpinner", std::make_unique<Held>(*this)); }
    std::unique_ptr<rud::IToolTip> AttachToolTip(HWND, const std::wstring&) override { return Note("AttachToolTip", std::make_unique<Held>(*this)); }
    GUID CreateGuid() override { return Note("CreateGuid", GUID{1, 2, 3, {}}); }
    void UseLanguagePackLocale() override { Note("UseLanguagePackLocale", 0); }
};

// Every operation once; the adapter passes answers, objects and exceptions back unchanged.
void UseEveryOperation(rud::IHostOperations& host) {
    EXPECT_TRUE(host.HasActionManager() && host.SaveScene() && host.SaveSceneTo(L"b.max"));
    EXPECT_TRUE(host.CurrentSceneFileName() == L"a.max" && host.CurrentSceneFilePath() == L"C:\\a.max");
    EXPECT_EQ(host.ExecuteMAXScript(L"1", *host.CreateScriptValue()), 1);
    host.SetCheckBox(nullptr, 1, true);
    host.SetWindowTextInt(nullptr, 1);
    host.SetWindowTextFloat(nullptr, 1, 3);
    for (auto& spinner : {host.SetupFloatSpinner(nullptr, 1, 2, 0, 1, 0, 1), host.GetSpinner(nullptr)}) {
        spinner->SetValue(1);
        spinner->Enable(true);
        EXPECT_TRUE(spinner->GetValue() == 2 && spinner->IsEnabled());
    }
    EXPECT_TRUE(host.AttachToolTip(nullptr, L"tip") && host.CreateGuid().Data1 == 1u);
    host.UseLanguagePackLocale();
    EXPECT_THROW((void)host.SaveSceneTo(L"throw"), std::runtime_error);
}

// Serves this thread's messages for `ms`, or until `done` answers true.
void Pump(ULONGLONG ms, const std::function<bool()>& done = [] { return false; }) {
    for (ULONGLONG until = ::GetTickCount64() + ms; !done() && ::GetTickCount64() < until;) {
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        for (MSG message; ::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE);) ::DispatchMessageW(&message);
    }
}

// Runs work on a thread of its own while this one serves messages (in `modal`, then in a
// loop of its own) until the work is done. A worker that is never served fails the program
// after 60 s instead of hanging it.
void FromWorker(const std::function<void()>& work, const std::function<void()>& modal = {}) {
    std::atomic<bool> done{false};
    std::thread worker([&] { work(); done = true; });
    if (modal) modal();
    Pump(60000, [&] { return done.load(); });
    if (!done) {
        ADD_FAILURE() << "the worker's host call was never served";
        std::fflush(nullptr);
        std::_Exit(1);
    }
    worker.join();
}

INT_PTR CALLBACK PlainDialogProc(HWND dialog, UINT message, WPARAM, LPARAM) {
    if (message == WM_COMMAND) ::EndDialog(dialog, 0);  // IDCANCEL from WM_CLOSE
    return message == WM_INITDIALOG || message == WM_COMMAND;
}

} // namespace

TEST(HostThread, EveryOperationRunsOnTheHostsThreadWhoeverCalls) {
    ThreadRecordingHost recorder;
    rud::HostThreadOperations host(recorder);
    ASSERT_TRUE(host.Ready());
    for (bool worker : {false, true}) {
        recorder.seen.clear();
        DWORD caller = ::GetCurrentThreadId();
        if (worker) FromWorker([&] { caller = ::GetCurrentThreadId(); UseEveryOperation(host); });
        else UseEveryOperation(host);
        EXPECT_EQ(recorder.seen.size(), 20u) << worker;
        for (const auto& [name, threads] : recorder.seen)  // the locale switch is the caller's own
            EXPECT_EQ(threads, std::set<DWORD>{name == "UseLanguagePackLocale" ? caller : ::GetCurrentThreadId()}) << name << " " << worker;
    }
}

// The worker's call must not wait for the box or the dialog to go: their loops serve it. A loop
// inside the host's own save (its progress bar) must not: the call runs after the save.
TEST(HostThread, WorkerCallsAreServedUnderMessageBoxesAndModalDialogsButNotInsideHostSaves) {
    ThreadRecordingHost recorder;
    rud::HostThreadOperations host(recorder);
    struct { WORD version, signature; DWORD help, exStyle, style; WORD items; short x, y, cx, cy; WORD menu, windowClass; wchar_t title[20]; } plain{
        1, 0xFFFF, 0, 0, WS_POPUP | WS_CAPTION | WS_VISIBLE, 0, 0, 0, 100, 50, 0, 0, L"rud modal dialog"};
    bool ranInside = false;
    const auto saving = [&] {
        host.ActivityStarted(rud::HostActivity::kSaving);
        for (ULONGLONG until = ::GetTickCount64() + 500; ::GetTickCount64() < until;) {
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
            for (MSG message; ::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE);) ::DispatchMessageW(&message);
        }
        ranInside = !recorder.seen["SaveScene"].empty();
        host.ActivityEnded(rud::HostActivity::kSaving);
    };
    const std::tuple<const wchar_t*, std::function<void()>, bool> modalLoops[] = {
        {L"rud message box", [] { ::MessageBoxW(nullptr, L"waiting", L"rud message box", MB_OK); }, true},
        {L"rud modal dialog", [&] { ::DialogBoxIndirectParamW(nullptr, reinterpret_cast<LPCDLGTEMPLATEW>(&plain), nullptr, PlainDialogProc, 0); }, true},
        {nullptr, saving, false}};
    for (const auto& [title, modal, servedInside] : modalLoops) {
        bool saved = false;
        recorder.seen.clear();
        ranInside = servedInside;
        FromWorker([&, title = title] {
            HWND window = nullptr;
            for (int i = 0; title && i < 3000 && !(window = ::FindWindowW(nullptr, title)); ++i) ::Sleep(10);  // until it is up
            saved = host.SaveScene();
            if (window) ::PostMessageW(window, WM_CLOSE, 0, 0);
        }, modal);
        EXPECT_TRUE(saved && recorder.seen["SaveScene"] == std::set<DWORD>{::GetCurrentThreadId()}) << (title ? title : L"save");
        EXPECT_EQ(ranInside, servedInside) << (title ? title : L"save");
    }
}

// 3ds Max closing during a submission: the worker is asked to stop and its calls are served
// until it does; one that goes on calling gets errors once the adapter closes, never a hang.
// The module may go only once the thread has returned, not when it says it has finished.
TEST(HostThread, ClosingTheHostEndsARunningSubmissionFirst) {
    auto& store = rud::RUDRenderingDataMgr::Instance();
    for (bool honoursCancel : {true, false}) {
        ThreadRecordingHost recorder;
        rud::HostThreadOperations host(recorder);
        store.busyCancelRequested = false;
        store.submitState = rud::kThreadRunning;
        std::atomic<bool> refused{false};
        ASSERT_TRUE(store.submitThread.Start([&] {
            try {
                do (void)host.SaveScene();
                while (!(honoursCancel && store.busyCancelRequested));
            } catch (const std::runtime_error&) {
                refused = true;
            }
            store.submitState = rud::kThreadFinished;
            ::Sleep(300);   // its last destructors still run this module's code
        }));
        EXPECT_TRUE(rud::EndRunningSubmission(&host, store, honoursCancel ? 20000 : 300, 5000)) << honoursCancel;
        EXPECT_TRUE(store.submitThread.Returned() && refused != honoursCancel) << honoursCancel;
        EXPECT_EQ(recorder.seen["SaveScene"], std::set<DWORD>{::GetCurrentThreadId()}) << honoursCancel;
        ASSERT_TRUE(store.submitThread.Returned(10000)) << honoursCancel;
        store.submitThread.Reset();
    }
    store.submitState = rud::kThreadNone;
    store.busyCancelRequested = false;
}

// A call held behind one of the host's operations gives way to the artist's Cancel, and any
// call gives up after the limit, naming what the host is busy with; neither runs afterwards.
TEST(HostThread, HeldCallsGiveWayToCancelAndToTheLimit) {
    struct Case { bool cancel; rud::HostActivity activity; };
    for (const Case c : {Case{true, rud::HostActivity::kSaving}, Case{false, rud::HostActivity::kRendering}}) {
        ThreadRecordingHost recorder;
        rud::HostThreadOperations host(recorder);
        std::atomic<bool> cancelled{false};
        host.SetCancelCheck([&] { return cancelled.load(); });
        host.SetCallLimit(c.cancel ? 600000 : 1000);
        host.ActivityStarted(c.activity);
        int activity = rud::kNoHostActivity;
        bool byCancel = !c.cancel;
        FromWorker([&] {
            try {
                (void)host.SaveScene();
            } catch (const rud::HostCallAbandoned& abandoned) {
                byCancel = abandoned.Cancelled();
                activity = abandoned.Activity();
            }
        }, [&] {
            Pump(300);   // the call is held by now
            cancelled = c.cancel;
        });
        EXPECT_TRUE(byCancel == c.cancel && activity == static_cast<int>(c.activity)) << c.cancel;
        host.ActivityEnded(c.activity);
        Pump(200);
        EXPECT_TRUE(recorder.seen["SaveScene"].empty()) << c.cancel;
    }
}

// The host's failed save sends no "after": the plug-in's own save must not leave its next
// call held. Flags whose "after" never came are forgotten at Submit when the operation began
// from the host's own loop, kept when it began inside a modal loop (it may still run).
TEST(HostThread, SavingFlagsWithoutAnAfterHoldNoLaterCall) {
    ThreadRecordingHost recorder;
    rud::HostThreadOperations host(recorder);
    host.SetCallLimit(5000);
    recorder.failingSaveNotices = &host;
    FromWorker([&] {
        EXPECT_FALSE(host.SaveSceneTo(L"C:\\full\\a.max"));
        EXPECT_NO_THROW((void)host.CurrentSceneFilePath());
    });
    rud::UniqueHwnd main(::CreateWindowExW(0, L"STATIC", L"rud host", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr));
    recorder.main = main.get();
    for (bool startedInModalLoop : {false, true}) {
        ::EnableWindow(main.get(), startedInModalLoop ? FALSE : TRUE);
        host.ActivityStarted(rud::HostActivity::kSaving);
        ::EnableWindow(main.get(), FALSE);   // our dialog is up
        host.ForgetEndedHostActivities();
        EXPECT_EQ(host.InHostActivity(), startedInModalLoop);
        host.ActivityEnded(rud::HostActivity::kSaving);
    }
}

// What a worker leaves for the host's thread (the dialog opened again after a run) runs there
// once the host's loop is free: not inside the host's save, and never after the host closed.
TEST(HostThread, PostedWorkWaitsForTheHostsLoopAndGoesWithTheHost) {
    ThreadRecordingHost recorder;
    rud::HostThreadOperations host(recorder);
    const auto pump = [] { Pump(200); };
    std::vector<std::string> ran;
    bool saving = true;
    host.ActivityStarted(rud::HostActivity::kSaving);
    std::thread([&] { EXPECT_TRUE(host.PostToMainThread([&] { ran.push_back(saving ? "inside" : "after"); })); }).join();
    EXPECT_TRUE(ran.empty());   // the poster did not wait for it
    pump();
    saving = false;
    host.ActivityEnded(rud::HostActivity::kSaving);
    pump();
    EXPECT_TRUE(host.PostToMainThread([&] { ran.push_back("queued at close"); }));
    host.Close();
    pump();
    EXPECT_FALSE(host.PostToMainThread([&] { ran.push_back("after close"); }));
    EXPECT_EQ(ran, std::vector<std::string>{"after"});
}

// Nor does it run inside a modal loop on the host's thread: a window that disables 3ds Max's
// (a file dialog, the question of an exit callback) or a message box of ours; it runs once the
// loop has ended.
TEST(HostThread, PostedWorkWaitsOutModalLoops) {
    ThreadRecordingHost recorder;
    rud::HostThreadOperations host(recorder);
    rud::UniqueHwnd main(::CreateWindowExW(0, L"STATIC", L"rud host", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr));
    recorder.main = main.get();
    const std::pair<const char*, std::function<void(std::function<void()>)>> loops[] = {
        {"main window disabled", [&](std::function<void()> inside) {
             ::EnableWindow(main.get(), FALSE);
             Pump(300);
             inside();
             ::EnableWindow(main.get(), TRUE);
         }},
        {"our message box", [&](std::function<void()> inside) {
             rud::SetMessageBoxHandler([&](HWND, const std::wstring&, const std::wstring&, UINT, WORD) {
                 Pump(300);   // as the box's own loop does
                 inside();
                 return IDOK;
             });
             (void)rud::ShowMessageBox(nullptr, L"box", L"rud", MB_OK, 1033);
             rudtest::InstallUnexpectedBoxGuard();
         }}};
    for (const auto& [name, loop] : loops) {
        int ran = 0, ranInside = -1;
        std::thread([&] { EXPECT_TRUE(host.PostToMainThread([&] { ++ran; })); }).join();
        loop([&] { ranInside = ran; });
        Pump(5000, [&] { return ran != 0; });
        EXPECT_TRUE(ranInside == 0 && ran == 1) << name;
    }
}
