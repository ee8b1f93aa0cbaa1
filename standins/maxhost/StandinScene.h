#pragma once
// The stand-in's core interface: its main window, action manager and the open scene file.
#include "MaxStandin.h"

#include <atomic>
#include <mutex>

namespace maxhost {

class StandinScene final : public Interface {
public:
    StandinScene(const std::wstring& scenePath, bool failSave, unsigned saveMilliseconds = 0, bool saveWrites = false);
    void SetMainWindow(HWND window) { mainWindow_ = window; }

    HWND GetMAXHWnd() const override { return mainWindow_; }
    IActionManager* GetActionManager() override { return maxstandin::StandardActionManager(); }
    MSTR& GetCurFileName() override;
    MSTR& GetCurFilePath() override;
    BOOL FileSave() override;
    int SaveToFile(const MCHAR* fileName, BOOL clearNeedSaveFlag, BOOL useNewFile) override;
    void RegisterExitMAXCallback(ExitMAXCallback* cb) override { maxstandin::AddExitCallback(cb); }
    void UnRegisterExitMAXCallback(ExitMAXCallback* cb) override { maxstandin::RemoveExitCallback(cb); }

    // What the artist does through 3ds Max's own menus and keys (on its main thread, from its own
    // message loop): the same work as the plug-in's FileSave and SaveToFile, with the same
    // notifications, but not a call of the plug-in's, so not counted after the hand-back.
    BOOL SaveInPlace();
    int SaveAs(const std::wstring& target, bool useNewFile = true);
    // Opens another scene file (false: there is none), or resets to a new, never-saved scene.
    bool Open(const std::wstring& path);
    void Reset();

    std::wstring ScenePath();
    // From now on every save fails (or succeeds again), as on a disk that fills up and is freed.
    void SetSavesFail(bool fail) { failSave_ = fail; }
    bool SavesFail() const { return failSave_; }

private:
    void SetPath(const std::wstring& path);
    bool Write(const std::wstring& from, const std::wstring& to);
    std::mutex lock_;
    HWND mainWindow_ = nullptr;
    std::atomic<bool> failSave_;
    unsigned saveMilliseconds_;
    bool saveWrites_;
    int saves_ = 0;
    MSTR path_;
    MSTR name_;
};

} // namespace maxhost
