#pragma once
// How a submission ended, as a number a script can test: the client's own answer once the
// request has left (10001 accepted, 10002 and up its refusals), or one of ours below zero for
// each way it can end before that.
#include <cstdint>

namespace rud {

enum SubmitResult : int32_t {
    kSubmitAccepted = 10001,
    kSubmitFailed = -1,              // an unexpected error stopped the run
    kSubmitCancelled = -2,
    kSubmitNameRefused = -3,         // the scene name is not one the farm or Windows can carry
    kSubmitNoCamera = -4,
    kSubmitCameraNamesInvalid = -5,
    kSubmitCoronaUnlimited = -6,     // Corona with no pass, time or noise limit
    kSubmitReplaceDeclined = -7,     // the name belongs to another file of the scene's folder
    kSubmitSceneNotSaved = -8,       // no scene file, a path too long, or the save failed
    kSubmitCacheFailed = -9,         // the task's cache folder or the scene's copy
    kSubmitVirusCheckFailed = -10,
    kSubmitArchiverFailed = -11,     // 7-Zip failed or left no whole archive
    kSubmitTaskFileFailed = -12,
    kSubmitNoClient = -13,           // the desktop client was not reached: nothing left
    kSubmitUnconfirmed = -14,        // the request left, no usable answer came: the files are kept
    kSubmitHostBusy = -15,           // 3ds Max stayed busy with work of its own too long to take the run's call
};

} // namespace rud
