#include "submit/SubmitWorkflow.h"

#include "analysis/RUDRenderingDataMgr.h"
#include "analysis/SceneChecks.h"
#include "analysis/VirusChecks.h"
#include "core/ClientInfo.h"
#include "core/DataFolders.h"
#include "core/FilePaths.h"
#include "core/TextConversions.h"
#include "resources/StringIds.h"
#include "submit/ArchiverOutcome.h"
#include "submit/ClientLink.h"
#include "submit/HostBusyMessage.h"
#include "submit/SceneBackup.h"
#include "submit/ScenePackaging.h"
#include "submit/SceneSnapshot.h"
#include "submit/SubmitResult.h"
#include "core/ResourceStrings.h"
#include "submit/TaskJson.h"
#include "submit/TypedChoices.h"

#include <atomic>
#include <exception>
#include <memory>
#include <vector>

namespace rud {
namespace {

constexpr int32_t kClientAccepted = kSubmitAccepted;

const char* ImageScaleText(int position) {
    switch (position) {
    case 1: return "50%";
    case 2: return "33%";
    case 3: return "25%";
    default: return "100%";
    }
}

bool IsFolder(const std::wstring& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The messages of the run under the error caption. A failure ends the busy dialog first, so
// that the message is not hidden behind it.
class WorkerMessages {
public:
    explicit WorkerMessages(ISubmitReport& report) : report_(report) {}
    void Fail(int stringId) const { FailWith(WorkerText(stringId)); }
    void FailWith(const std::wstring& text, MessageCaption caption = MessageCaption::kError) const {
        RequestBusyClose();
        report_.Tell(text, caption);
    }
private:
    ISubmitReport& report_;
};

std::atomic<SubmitBoundaryHook> g_boundaryHook{nullptr};

void CallBoundaryHook(SubmitBoundary boundary) {
    if (const SubmitBoundaryHook hook = g_boundaryHook.load()) hook(boundary);
}

const char* BoundaryText(SubmitBoundary boundary) {
    switch (boundary) {
    case SubmitBoundary::kSavingNext: return "before the scene was saved";
    case SubmitBoundary::kSavingEnded: return "as the scene was saved";
    case SubmitBoundary::kVirusCheckNext: return "between the virus checks";
    case SubmitBoundary::kPackingNext: return "before packing";
    case SubmitBoundary::kPackingEnded: return "as packing ended";
    case SubmitBoundary::kTaskFileNext: return "before the task file was written";
    default: return "before the request was sent";
    }
}

// Looks at the artist's Cancel at one point of the run; true when the submission stops there.
// With `claim` the look also takes the Cancel for the worker, so that one pressed later finds it
// taken.
[[nodiscard]] bool CancelledAt(RUDRenderingDataMgr& store, SubmitBoundary boundary, bool claim = false) {
    CallBoundaryHook(boundary);
    if (!(claim ? store.busyCancelRequested.exchange(true) : store.busyCancelRequested.load())) return false;
    store.dataLog.write(std::string("The submission was cancelled by the user ") + BoundaryText(boundary) +
                        ": nothing was sent.", "INFO");
    RequestBusyClose();
    return true;
}

// Deletes a file or an empty folder this run made; one that cannot go is named in the log with
// the system's reason, since the artist's disk keeps it.
void RemoveLeftover(RUDRenderingDataMgr& store, const std::wstring& path, bool folder) {
    if (folder ? ::RemoveDirectoryW(path.c_str()) : ::DeleteFileW(path.c_str())) return;
    const DWORD error = ::GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND || (folder && error == ERROR_DIR_NOT_EMPTY))
        return;
    store.dataLog.write("Cannot delete " + WideToUtf8(path) + ", Error Code is: " + std::to_string(error), "ERROR");
}

// What one submission made in the cache: unless the client accepted the task, its files go
// and its folders go when empty, so that nothing waits there that no one will send.
class RunLeftovers {
public:
    explicit RunLeftovers(RUDRenderingDataMgr& store) : store_(store) {}
    ~RunLeftovers() {
        if (kept_) return;
        try {
            for (const std::wstring& file : files_) RemoveLeftover(store_, file, false);
            for (auto folder = folders_.rbegin(); folder != folders_.rend(); ++folder)
                RemoveLeftover(store_, *folder, true);
        } catch (...) {
        }
    }
    RunLeftovers(const RunLeftovers&) = delete;
    RunLeftovers& operator=(const RunLeftovers&) = delete;
    void File(const std::wstring& path) { files_.push_back(path); }
    void Folder(const std::wstring& path) { folders_.push_back(path); }
    // Call before the folder is made: one that is there already is not this run's.
    void FolderIfNew(const std::wstring& path) {
        if (::GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) folders_.push_back(path);
    }
    void Keep() { kept_ = true; }

private:
    RUDRenderingDataMgr& store_;
    std::vector<std::wstring> files_;
    std::vector<std::wstring> folders_;
    bool kept_ = false;
};

// The backup exists only while the virus-check scripts run on the open scene. False when the
// submission ends here (a path too long, or the artist's Cancel between two scripts).
[[nodiscard]] bool RunVirusChecksWithBackup(RUDRenderingDataMgr& store, const std::string& scenePath,
                                            const ClientInfo& clientInfo, const WorkerMessages& messages) {
    if (MakeBackupPath(Utf8ToWide(scenePath), 0).empty()) {
        messages.Fail(IDS_SCENE_PATH_TOO_LONG);
        return false;
    }
    wchar_t backupPath[kMaxScenePathLength + 1] = {};
    const int backedUp = BackupSceneFile(scenePath, store.dataLog, backupPath);
    const bool checked =
        RunVirusChecks(store.dataLog, clientInfo, [&store] { return CancelledAt(store, SubmitBoundary::kVirusCheckNext); });
    if (backedUp && backupPath[0]) RemoveLeftover(store, backupPath, false);
    return checked;
}

// Where the client was told to find the task's files, for the artist who must look for the task,
// and the code of an answer we do not know.
std::wstring UnconfirmedText(int32_t answer, const std::wstring& archivePath, const std::wstring& taskFilePath) {
    std::vector<std::wstring> values{archivePath, taskFilePath};
    int id = IDS_CLIENT_UNCONFIRMED;
    if (answer == kClientAnswerWithoutCode) id = IDS_CLIENT_NO_RESULT_CODE;
    else if (answer != kClientUnconfirmed) {
        id = IDS_CLIENT_UNKNOWN_CODE;
        values.insert(values.begin(), std::to_wstring(answer));
    }
    std::wstring text = WorkerText(id);
    size_t from = 0;
    for (const std::wstring& value : values) {
        const size_t slot = text.find(L"%s", from);
        if (slot == std::wstring::npos) break;
        text.replace(slot, 2, value);
        from = slot + value.size();
    }
    return text;
}

} // namespace

bool RequestSubmitCancel(RUDRenderingDataMgr& store) {
    if (store.busyStage == kBusySending) return false;
    return !store.busyCancelRequested.exchange(true);
}

void SetSubmitBoundaryHook(SubmitBoundaryHook hook) { g_boundaryHook = hook; }

void RequestBusyClose() {
    auto& store = RUDRenderingDataMgr::Instance();
    if (store.BusyDialogRunning()) store.busyCloseRequested = true;
}

namespace {

constexpr SubmitEnd kKeep = SubmitEnd::kKeepDialog;

// Notes how the run ended (SubmitResult) on its way out.
SubmitEnd Ends(int32_t& code, int32_t result, SubmitEnd end = kKeep) {
    code = result;
    return end;
}

// The store is used for its log and the progress the windows show; the scene is the order's.
SubmitEnd SubmitScene(SubmitOrder& order, ISubmitReport& report, int32_t& code) {
    auto& store = RUDRenderingDataMgr::Instance();
    const WorkerMessages messages(report);
    // The order is the run's own: its copy of the scene takes the typed choices and the settled file.
    SceneAnalysis& scene = order.analysis;

    report.Stage(kBusyCheckingScene);
    TakeCoronaLimits(scene, order);
    std::vector<std::wstring> invalidCameras;
    switch (ValidateCameras(store.dataLog, order.cameraTicks, scene.cameras, false, invalidCameras)) {
    case kCameraNamesInvalid:
        messages.Fail(IDS_CAMERA_NAMES_INVALID);
        return Ends(code, kSubmitCameraNamesInvalid);
    case kNoCameraChecked:
        if (!report.AskOkCancel(WorkerText(IDS_NO_CAMERA_CHECKED))) return Ends(code, kSubmitNoCamera);
        break;
    default:
        break;
    }
    if (!CheckCoronaLimits(scene)) {
        messages.FailWith(WorkerText(IDS_CORONA_NOT_LIMITED), MessageCaption::kNotice);
        return Ends(code, kSubmitCoronaUnlimited);
    }
    TakeRenderOptions(scene, order);
    if (CancelledAt(store, SubmitBoundary::kSavingNext)) return Ends(code, kSubmitCancelled);

    // The name is judged before the host saves anything under it: a refused name must not
    // leave a file behind, and another file of the folder is the artist's to give up.
    const TypedSceneJudgement& judgement = order.sceneName;
    const std::wstring& typedName = judgement.typedName;
    store.dataLog.write("Get scene name text down, it is : " + WideToUtf8(typedName) + ".max.", "INFO");
    switch (judgement.verdict) {
    case TypedNameVerdict::kRefused:
        messages.Fail(IDS_SCENE_NAME_INVALID);
        return Ends(code, kSubmitNameRefused, SubmitEnd::kCloseDialog);
    case TypedNameVerdict::kReplacesOtherFile:
        // The file that would be given up, which a short name may hide.
        if (!report.AskYesNo(WorkerTextWith(IDS_REPLACE_OTHER_SCENE, FileNameOf(judgement.path))))
            return Ends(code, kSubmitReplaceDeclined);
        break;
    default:
        break;
    }

    report.Stage(kBusySavingScene);
    std::string scenePath;
    std::wstring shownName;
    const SceneCopyStatus settled = SettleSceneFile(scene, scenePath, shownName, judgement);
    if (!shownName.empty()) report.SceneNameShown(shownName);
    switch (settled) {
    case SceneCopyStatus::kReady: break;
    case SceneCopyStatus::kPathTooLong: messages.Fail(IDS_SCENE_PATH_TOO_LONG); return Ends(code, kSubmitSceneNotSaved);
    case SceneCopyStatus::kNoSceneFile: messages.Fail(IDS_NO_SCENE_FILE); return Ends(code, kSubmitSceneNotSaved);
    }
    // A save cannot be interrupted; a Cancel pressed during it counts from here.
    if (CancelledAt(store, SubmitBoundary::kSavingEnded)) return Ends(code, kSubmitCancelled);

    const std::wstring taskId = CreateGuidText();
    if (taskId.empty()) {
        RequestBusyClose();
        return Ends(code, kSubmitFailed);
    }

    ClientInfo clientInfo = order.client;
    clientInfo.scenePath = scenePath;
    clientInfo.imageScaleIndex = order.imageScaleIndex;
    clientInfo.imageScaleText = ImageScaleText(clientInfo.imageScaleIndex);
    clientInfo.ip = L"127.0.0.1";
    if (scenePath.find_first_of("/\\") == std::string::npos) {
        messages.Fail(IDS_NO_SCENE_FILE);
        return Ends(code, kSubmitSceneNotSaved);
    }

    RunLeftovers leftovers(store);
    const std::wstring cacheFolder =
        SceneCacheFolder() + Utf8ToWide(scene.sceneFileName) + L"_plugin_output";
    leftovers.FolderIfNew(cacheFolder);
    ::CreateDirectoryW(cacheFolder.c_str(), nullptr);
    if (!IsFolder(cacheFolder)) {
        store.dataLog.write("The task's cache folder cannot be created: " + WideToUtf8(cacheFolder) +
                            ", Error Code is: " + std::to_string(::GetLastError()), "ERROR");
        messages.FailWith(WorkerTextWith(IDS_CACHE_FOLDER_FAILED, cacheFolder));
        return Ends(code, kSubmitCacheFailed);
    }
    clientInfo.jsonDir = cacheFolder + L"/json";
    clientInfo.compressDir = cacheFolder + L"/compress";

    if (order.backupAndCheck) {
        report.Stage(kBusyCheckingViruses);
        if (!RunVirusChecksWithBackup(store, scene.sceneFilePath, clientInfo, messages))
            return Ends(code, store.busyCancelRequested ? kSubmitCancelled : kSubmitVirusCheckFailed);
    }
    // Destroyed before the leftovers, so that the cache folder is empty by then.
    SceneSnapshot snapshot;
    if (order.keepWorking) {
        report.Stage(kBusySavingScene);   // to the artist the copy is part of the save
        switch (snapshot.Make(store, Utf8ToWide(scenePath), cacheFolder)) {
        case SnapshotStatus::kMade: break;
        case SnapshotStatus::kNoRoom:
            messages.FailWith(WorkerTextWith(IDS_SNAPSHOT_NO_ROOM, cacheFolder));
            return Ends(code, kSubmitCacheFailed);
        case SnapshotStatus::kFailed:
            messages.FailWith(WorkerTextWith(IDS_SNAPSHOT_FAILED, snapshot.Path()));
            return Ends(code, kSubmitCacheFailed);
        }
        clientInfo.snapshotPath = WideToUtf8(snapshot.Path());
    }
    if (CancelledAt(store, SubmitBoundary::kPackingNext)) return Ends(code, kSubmitCancelled);
    if (order.keepWorking) report.HandBack();

    auto user = std::make_unique<ClientUserInfo>();
    ReadClientSharedMemory(*user);
    std::wstring archiverArguments;
    std::vector<std::wstring> madeFolders;
    const bool packed = PackScene(store, clientInfo, user.get(), &archiverArguments, &madeFolders);
    user.reset();
    for (const std::wstring& folder : madeFolders) leftovers.Folder(folder);
    const std::wstring archivePath = Utf8ToWide(clientInfo.compressPath);
    leftovers.File(archivePath);
    if (!packed) {
        messages.Fail(IDS_SCENE_NAME_INVALID);
        return Ends(code, kSubmitNameRefused, SubmitEnd::kCloseDialog);
    }
    report.Stage(kBusyPacking);
    const ArchiverRun run = RunArchiver(store, clientInfo, archiverArguments);
    snapshot.Remove();
    // From here until the request leaves, Cancel still stops the submission.
    report.Stage(kBusyWritingTask);
    if (run.cancelled) {
        // The scene copy saved under the typed name stays: it is the artist's save.
        store.dataLog.write("Packing was cancelled by the user: 7-Zip was stopped, the partial archive deleted, "
                            "nothing was sent.", "INFO");
        RequestBusyClose();
        return Ends(code, kSubmitCancelled);
    }
    const ArchiverOutcome packing = JudgeArchiverRun(run, archivePath);
    if (packing != ArchiverOutcome::kPacked) {
        // Without a whole archive the farm would find nothing hours later: no task file, no request.
        store.dataLog.write(ArchiverFailureLogLine(packing, run, clientInfo.zipExePath, archivePath), "ERROR");
        messages.FailWith(ArchiverFailureMessage(packing, run, clientInfo.zipExePath));
        return Ends(code, kSubmitArchiverFailed);
    }
    if (CancelledAt(store, SubmitBoundary::kPackingEnded)) return Ends(code, kSubmitCancelled);
    // Gives the archive time to be closed by the file system before the client opens it.
    ::Sleep(1000);

    if (CancelledAt(store, SubmitBoundary::kTaskFileNext)) return Ends(code, kSubmitCancelled);
    leftovers.FolderIfNew(clientInfo.jsonDir);
    const std::wstring taskFilePath = clientInfo.jsonDir + L"/" + taskId + L".json";
    leftovers.File(taskFilePath);
    std::string requestBody;
    if (!WriteTaskJson(scene, store.dataLog, order.saveScene, clientInfo, taskId, requestBody)) {
        messages.Fail(IDS_TASK_FILE_FAILED);
        return Ends(code, kSubmitTaskFileFailed);
    }
    report.TaskWritten();

    // Taking the Cancel for ourselves is what closes it: an artist's Cancel that came first
    // wins, one that comes later finds it taken, and the busy dialog says it is too late.
    if (CancelledAt(store, SubmitBoundary::kSendingNext, true)) return Ends(code, kSubmitCancelled);
    report.Stage(kBusySending);
    CallBoundaryHook(SubmitBoundary::kSendingStarted);
    const int32_t answer = PostToClient(clientInfo, requestBody, report, &RequestBusyClose);
    code = answer;
    if (answer == kClientAccepted) {
        // The client owns the archive and the task file now.
        leftovers.Keep();
        return SubmitEnd::kCloseDialog;
    }
    // Refused or never reached: the client holds nothing, and the files go.
    if (answer == kClientNotReached) return Ends(code, kSubmitNoClient);
    if (IsClientRefusal(answer)) return kKeep;
    // The client may have queued the task before its reply went missing; without these files the
    // farm job would fail hours later. Only the artist can find out whether it did. An answer
    // without a code, or with one we do not know, is no refusal either: it is treated the same,
    // unlike an answer that is simply ignored, so that the artist's work is not deleted.
    leftovers.Keep();
    store.dataLog.write("The client did not confirm the task (answer " + std::to_string(answer) + "); its archive " +
                        WideToUtf8(archivePath) + " and task file " + WideToUtf8(taskFilePath) + " are kept.", "WARN");
    messages.FailWith(UnconfirmedText(answer, archivePath, taskFilePath));
    return Ends(code, kSubmitUnconfirmed);
}

} // namespace

void SubmitWorker(SubmitOrder order, ISubmitReport& report) {
    auto& store = RUDRenderingDataMgr::Instance();
    SubmitEnd end = SubmitEnd::kKeepDialog;
    int32_t code = kSubmitFailed;
    try {
        report.Stage(kBusyStarting);
        store.busyArchiveBytes = 0;
        store.busyPackPercent = -1;
        end = SubmitScene(order, report, code);
    } catch (const HostCallAbandoned& abandoned) {
        // 3ds Max never took a call: the artist cancelled meanwhile, or it stayed busy too long.
        code = abandoned.Cancelled() ? kSubmitCancelled : kSubmitHostBusy;
        if (abandoned.Cancelled()) {
            store.dataLog.write("The submission was cancelled by the user while 3ds Max was busy: nothing was sent.", "INFO");
        } else {
            store.dataLog.write(std::string("The submission was stopped: ") + abandoned.what() + ".", "WARN");
            WorkerMessages(report).FailWith(HostBusyMessage(abandoned.Activity()));
        }
    } catch (const std::exception& error) {
        store.dataLog.write(std::string("The submission stopped on an unexpected error: ") + error.what(), "ERROR");
    } catch (...) {
        store.dataLog.write("The submission stopped on an unexpected error.", "ERROR");
    }
    RequestBusyClose();
    // The dialog gets its controls back before the worker reports itself finished, so that whoever
    // waits for submitState 11 finds it as the artist left it.
    try {
        report.Outcome(code);
        report.Ended(end);
    } catch (...) {
        store.dataLog.write("The end of the submission could not be shown.", "ERROR");
    }
    store.submitState = kThreadFinished;
}

} // namespace rud
