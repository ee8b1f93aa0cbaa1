#pragma once
// Saves as 3ds Max runs them: one host operation from the "before" notification to the "after"
// one, and the autobackup, a timer that saves the scene aside now and then.
#include <windows.h>

#include <string>

namespace maxhost {

// Alive for the whole of one save: NOTIFY_FILE_PRE_SAVE (with the file's name) when made,
// NOTIFY_FILE_POST_SAVE when gone. A save while another host operation runs ends the run
// (HOST-NESTED).
class HostSave {
public:
    HostSave(const char* function, const std::wstring& path);
    ~HostSave();
    HostSave(const HostSave&) = delete;
    HostSave& operator=(const HostSave&) = delete;

private:
    std::wstring path_;
};

// Every `intervalMs` the scene is backed up to AutoBackup01.max in the temporary folder
// ("AUTOBACKUP <path>" printed). A backup saves with the notifications of any save and, as its
// progress bar does, keeps serving the thread's messages for a while in between; input for the
// main window waits until the backup is done, as 3ds Max takes none while it saves. No backup
// starts while another host operation runs.
void StartAutobackup(HWND mainWindow, unsigned intervalMs);

} // namespace maxhost
