#include "submit/SceneBackup.h"

#include "core/TextConversions.h"
#include "plugin/HostOperations.h"
#include "ui/SceneAcceptance.h"

#include <cwchar>
#include <cwctype>

namespace rud {
namespace {

// Names Windows keeps for devices, with or without an extension.
bool IsDeviceName(const std::wstring& name) {
    std::wstring stem = name.substr(0, name.find(L'.'));
    for (wchar_t& c : stem) c = static_cast<wchar_t>(std::towupper(c));
    for (const wchar_t* device : {L"CON", L"PRN", L"AUX", L"NUL"})
        if (stem == device) return true;
    return stem.size() == 4 && (stem.compare(0, 3, L"COM") == 0 || stem.compare(0, 3, L"LPT") == 0) &&
           stem[3] >= L'1' && stem[3] <= L'9';
}

} // namespace

TypedNameVerdict JudgeTypedSceneName(const std::wstring& typedName, const std::wstring& openScenePath) {
    if (typedName.empty()) return TypedNameVerdict::kOpenScene;
    // The farm's character rule lets ":" and "?" through, but in a file name ":" names a hidden
    // stream of another file and "?" is no name at all; Windows also drops a trailing space or
    // dot, so the scene would land under another name than the one the task names.
    if (!IsAllowedSceneName(typedName) || typedName.find_first_of(L":?`") != std::wstring::npos ||
        typedName.back() == L' ' || typedName.back() == L'.' || IsDeviceName(typedName))
        return TypedNameVerdict::kRefused;
    const size_t separator = openScenePath.find_last_of(L"/\\");
    if (separator == std::wstring::npos) return TypedNameVerdict::kNewFile;
    const std::wstring target = openScenePath.substr(0, separator + 1) + typedName + L".max";
    if (::CompareStringOrdinal(target.c_str(), -1, openScenePath.c_str(), -1, TRUE) == CSTR_EQUAL)
        return TypedNameVerdict::kOpenScene;
    const DWORD attributes = ::GetFileAttributesW(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY))
        return TypedNameVerdict::kReplacesOtherFile;
    return TypedNameVerdict::kNewFile;
}

SceneCopyStatus SettleSceneFile(RUDRenderingDataMgr& store, std::string& resultPath, HWND nameField,
                                std::string typedName) {
    resultPath.clear();
    const std::wstring fileName = Host().CurrentSceneFileName();
    const std::wstring filePath = Host().CurrentSceneFilePath();
    const std::string filePathUtf8 = WideToUtf8(filePath);
    if (store.sceneFilePath.empty()) store.sceneFilePath = filePathUtf8;
    if (filePath.empty()) return SceneCopyStatus::kNoSceneFile;

    store.sceneFileName = WideToUtf8(fileName);
    if (typedName.empty()) {
        std::wstring shown = fileName.size() < 4 ? fileName : fileName.substr(0, fileName.size() - 4);
        ::SetWindowTextW(nameField, shown.c_str());
        typedName = store.sceneFileName;
    }
    if (typedName == store.sceneFileName) {
        // The artist submits the file as it is on disk; nothing is saved over it.
        resultPath = filePathUtf8;
        return SceneCopyStatus::kReady;
    }

    store.sceneFileName = typedName;
    size_t separator = filePathUtf8.rfind('/');
    if (separator == std::string::npos) separator = filePathUtf8.rfind('\\');
    if (separator == std::string::npos) return SceneCopyStatus::kNoSceneFile;
    const std::string newPath = filePathUtf8.substr(0, separator + 1) + typedName;
    const std::wstring newPathWide = Utf8ToWide(newPath);
    if (newPathWide.size() > kMaxScenePathLength) return SceneCopyStatus::kPathTooLong;
    if (!Host().SaveSceneTo(newPathWide)) return SceneCopyStatus::kNoSceneFile;
    resultPath = newPath;
    return SceneCopyStatus::kReady;
}

std::string SaveSceneCopy(RUDRenderingDataMgr& store, std::string& resultPath, HWND nameField,
                          std::string typedName) {
    (void)SettleSceneFile(store, resultPath, nameField, std::move(typedName));
    return resultPath;
}

std::wstring BackupBaseName(const std::wstring& baseName, int number) {
    wchar_t text[1024] = {};
    ::wsprintfW(text, L"%s_%06d", baseName.c_str(), number);
    return text;
}

std::wstring MakeBackupPath(const std::wstring& scenePath, int number) {
    wchar_t drive[3] = {}, folder[256] = {}, base[256] = {}, extension[256] = {};
    if (_wsplitpath_s(scenePath.c_str(), drive, 3, folder, 256, base, 256, extension, 256) != 0)
        return std::wstring();
    const std::wstring newBase = BackupBaseName(base, number);
    wchar_t path[kMaxScenePathLength + 1] = {};
    if (_wmakepath_s(path, kMaxScenePathLength + 1, drive, folder, newBase.c_str(), extension) != 0)
        return std::wstring();
    return path;
}

int BackupSceneFile(RUDRenderingDataMgr& store, wchar_t (&backupPath)[kMaxScenePathLength + 1]) {
    const std::wstring source = Utf8ToWide(store.sceneFilePath);
    // A backup never replaces a file: the name may be another session's backup of the same
    // scene, or a file of the artist's. A taken name moves on to the next number.
    constexpr int kNumbers = 1000000;   // what six digits hold
    constexpr int kTries = 100;
    const int first = static_cast<int>(UniqueRandomNumber() % kNumbers);
    std::wstring target;
    BOOL copied = FALSE;
    DWORD error = ERROR_SUCCESS;
    int taken = 0;
    for (; taken < kTries; ++taken) {
        target = MakeBackupPath(source, (first + taken) % kNumbers);
        if (target.empty()) break;
        copied = ::CopyFileW(source.c_str(), target.c_str(), TRUE);
        error = copied ? ERROR_SUCCESS : ::GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) break;
    }
    std::wstring message = L"Backup file from " + source + L" to " + target;
    if (target.empty()) {
        store.dataLog.write(WideToUtf8(message + L" Error! The path is too long."), "WARN");
        return 0;
    }
    if (taken > 0) message += L" (" + std::to_wstring(taken) + L" names taken)";
    if (copied) {
        message += L" Success!";
        wcsncpy(backupPath, target.c_str(), kMaxScenePathLength);
        backupPath[kMaxScenePathLength] = L'\0';
    } else {
        message += L" Error! Code is " + std::to_wstring(error);
    }
    store.dataLog.write(WideToUtf8(message), "WARN");
    return copied;
}

} // namespace rud
