#pragma once
// A submission that runs on after 3ds Max was handed back to the artist: what the host's menu,
// its quitting and the run's end do about it. All of it runs on the host's main thread.
#include "submit/SubmitOrder.h"

#include <windows.h>

namespace rud {

// True from the hand-back until the worker has ended.
bool SubmissionRunsInBackground();

// The menu's action while such a run is under way: its progress window comes forward and says
// that a submission is running, instead of a second dialog that could overwrite what the run
// still reads. False when no such run is under way.
[[nodiscard]] bool BringRunningSubmissionForward();

// 3ds Max asks whether it may quit. While the scene is packed the artist decides: Yes cancels
// the run and waits for it to end (7-Zip is stopped at once), No keeps 3ds Max open and the run
// goes on. Once the request is out, the quit waits for the client's answer. True: it may quit.
[[nodiscard]] bool MayQuitDuringSubmission(HWND mainWindow);

// After a run behind the progress window failed or was cancelled: the main dialog opens again
// when 3ds Max is next idle in its own loop (no modal window, message box or operation of its
// own under way), analysed afresh, with the run's choices; never once 3ds Max is going.
void ReopenMainDialogLater(const SubmitOrder& order);

} // namespace rud
