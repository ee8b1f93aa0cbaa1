#include "HostSave.h"

#include "HostOutput.h"

#include "MaxStandin.h"
#include <notify.h>

#include <fstream>
#include <vector>

namespace maxhost {
namespace {

constexpr UINT_PTR kAutobackupTimer = 0x4142;
// How long a backup keeps its progress bar up: long enough that calls of a plug-in, posted at
// any time, often arrive while it does.
constexpr ULONGLONG kBackupMilliseconds = 400;

// Dispatches what reaches the thread until `until`, as a progress bar's loop does; what is meant
// for the main window (menu commands, the step driver's work, closing) waits and is posted again
// afterwards, and the main window's timers are dropped for this round.
void PumpWhileSaving(HWND mainWindow, ULONGLONG until) {
    std::vector<MSG> deferred;
    bool quit = false;
    int quitCode = 0;
    for (ULONGLONG now = ::GetTickCount64(); now < until; now = ::GetTickCount64()) {
        (void)::MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(until - now), QS_ALLINPUT);
        MSG message;
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                quit = true;
                quitCode = static_cast<int>(message.wParam);
            } else if (message.hwnd == mainWindow) {
                if (message.message != WM_TIMER) deferred.push_back(message);
            } else {
                ::TranslateMessage(&message);
                ::DispatchMessageW(&message);
            }
        }
    }
    for (const MSG& message : deferred) ::PostMessageW(message.hwnd, message.message, message.wParam, message.lParam);
    if (quit) ::PostQuitMessage(quitCode);
}

std::function<bool()>& BackupFails() {
    static std::function<bool()> fails;
    return fails;
}

std::wstring BackupPath() {
    wchar_t folder[MAX_PATH + 1] = {};
    DWORD length = ::GetTempPathW(MAX_PATH + 1, folder);
    return std::wstring(folder, length) + L"AutoBackup01.max";
}

void CALLBACK AutobackupTick(HWND window, UINT, UINT_PTR, DWORD) {
    try {
        if (maxstandin::HostOperationRunning()) return;
        const std::wstring path = BackupPath();
        HostSave save("autobackup", path);
        PrintLine(L"AUTOBACKUP " + path);
        PumpWhileSaving(window, ::GetTickCount64() + kBackupMilliseconds);
        if (BackupFails() && BackupFails()()) return;
        std::ofstream out(path.c_str(), std::ios::binary | std::ios::trunc);
        out << "3ds Max stand-in autobackup\n";
        if (out) save.Succeeded();
    } catch (...) {
    }
}

} // namespace

HostSave::HostSave(const char* function, const std::wstring& path) : path_(path) {
    maxstandin::BeginHostOperation(function);
    BroadcastNotification(NOTIFY_FILE_PRE_SAVE, const_cast<wchar_t*>(path_.c_str()));
}

HostSave::~HostSave() {
    if (succeeded_) BroadcastNotification(NOTIFY_FILE_POST_SAVE, const_cast<wchar_t*>(path_.c_str()));
    maxstandin::EndHostOperation();
}

void StartAutobackup(HWND mainWindow, unsigned intervalMs, std::function<bool()> savesFail) {
    BackupFails() = std::move(savesFail);
    if (intervalMs) ::SetTimer(mainWindow, kAutobackupTimer, intervalMs, AutobackupTick);
}

} // namespace maxhost
