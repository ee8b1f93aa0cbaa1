#pragma once
// Saves as 3ds Max runs them: one host operation from the "before" notification to the "after"
// one, and the autobackup, a timer that saves the scene aside now and then.
#include <windows.h>

#include <functional>
#include <string>

namespace maxhost {

// Alive for the whole of one save: NOTIFY_FILE_PRE_SAVE (with the file's name) when made,
// NOTIFY_FILE_POST_SAVE when gone, but only after a save that succeeded: as 3ds Max, a failed
// save sends no "after" (its answer and the log tell the failure). A save while another host
// operation runs ends the run (HOST-NESTED).
class HostSave {
public:
    HostSave(const char* function, const std::wstring& path);
    ~HostSave();
    HostSave(const HostSave&) = delete;
    HostSave& operator=(const HostSave&) = delete;
    void Succeeded() { succeeded_ = true; }

private:
    std::wstring path_;
    bool succeeded_ = false;
};

// Every `intervalMs` the scene is backed up to AutoBackup01.max in the temporary folder
// ("AUTOBACKUP <path>" printed); while saves fail (`savesFail`), the backup fails as well. A backup saves with the notifications of any save and, as its
// progress bar does, keeps serving the thread's messages for a while in between; input for the
// main window waits until the backup is done, as 3ds Max takes none while it saves. No backup
// starts while another host operation runs.
void StartAutobackup(HWND mainWindow, unsigned intervalMs, std::function<bool()> savesFail);

} // namespace maxhost
