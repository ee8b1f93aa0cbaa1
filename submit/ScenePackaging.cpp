#include "submit/ScenePackaging.h"

#include "core/DataFolders.h"
#include "core/TextConversions.h"
#include "core/WinHandles.h"
#include "submit/FarmConfiguration.h"
#include "submit/ArchiverProcess.h"
#include "submit/Md5.h"

#include <algorithm>
#include <cwchar>
#include <vector>

namespace rud {
namespace {

constexpr DWORD kSizePollMs = 200;
constexpr const wchar_t* kProgressSwitch = L" -bsp1";
constexpr DWORD kSevenZipCommandLineError = 7;

void CreateFolderIfMissing(const std::wstring& folder, std::vector<std::wstring>* made) {
    if (!PathExists(folder) && ::CreateDirectoryW(folder.c_str(), nullptr) && made) made->push_back(folder);
}

template <typename Text>
Text JoinArchiverArguments(const Text& switches, const Text& passwordSwitch, const Text& password,
                           const Text& archivePath, const Text& scenePath, typename Text::value_type space,
                           typename Text::value_type quote) {
    Text arguments = switches;
    if (!password.empty()) arguments += passwordSwitch + password;
    arguments += space; arguments += quote; arguments += archivePath; arguments += quote;
    arguments += space; arguments += quote; arguments += scenePath; arguments += quote;
    return arguments;
}

// An archive path no file takes yet. Two 3ds Max sessions packing same-named scenes share the
// folder, and a failed run deletes its archive: a shared path would lose the other's.
std::wstring FreshArchivePath(const std::wstring& folder, const std::wstring& sceneName) {
    std::wstring path;
    for (int attempt = 0; attempt < 16; ++attempt) {
        path = folder + L"/" + sceneName + L"_" + Utf8ToWide(RandomSuffix()) + L".7z";
        if (!PathExists(path)) break;
    }
    return path;
}

} // namespace

std::string FileStem(const std::string& path) {
    size_t separator = path.rfind('\\');
    if (separator == std::string::npos) separator = path.rfind('/');
    const size_t nameStart = separator == std::string::npos ? 0 : separator + 1;
    std::string name = path.substr(nameStart);
    const size_t dot = path.rfind('.');
    if (dot != std::string::npos && dot >= nameStart) name.resize(dot - nameStart);
    return name;
}

std::string RandomSuffix() {
    static const char alphabet[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    uint64_t number = UniqueRandomNumber();
    std::string suffix;
    for (int i = 0; i < 6; ++i) {
        suffix.push_back(alphabet[number % 62]);
        number /= 62;
    }
    return suffix;
}

std::string ArchivePassword(const std::string& sceneNameUtf8) {
    const std::string a = Md5Hex(sceneNameUtf8);
    const std::string b = Md5Hex(sceneNameUtf8 + kArchivePasswordSalt);
    std::string password;
    for (size_t i = 0; i < a.size(); ++i) {
        password.push_back(a[i]);
        password.push_back(b[i]);
    }
    return password;
}

bool IsDirectSaveAccount(const ClientUserInfo& user) {
    if (!user.valid) return false;
    for (const wchar_t* account : kDirectSaveAccounts)
        if (user.userName == account) return true;
    return false;
}

std::string ArchiverArguments(const std::string& password, const std::string& archivePath,
                              const std::string& scenePath) {
    return JoinArchiverArguments<std::string>(" a -mx=3 -mmt=on -t7z -bsp1", " -p", password, archivePath,
                                              scenePath, ' ', '"');
}

std::wstring ArchiverArguments(const std::wstring& password, const std::wstring& archivePath,
                               const std::wstring& scenePath) {
    return JoinArchiverArguments<std::wstring>(L" a -mx=3 -mmt=on -t7z -bsp1", L" -p", password, archivePath,
                                               scenePath, L' ', L'"');
}

bool PackScene(RUDRenderingDataMgr& store, ClientInfo& clientInfo, const ClientUserInfo* user,
               std::wstring* wideArguments, std::vector<std::wstring>* madeFolders) {
    (void)store;
    CreateFolderIfMissing(clientInfo.compressDir, madeFolders);
    // The scene name stays wide from the UTF-8 path, so names outside the system code page
    // (Chinese on an English Windows) still name the archive correctly.
    const std::wstring sceneName = Utf8ToWide(FileStem(clientInfo.scenePath));

    std::wstring archivePath;
    std::string password;
    if (user && IsDirectSaveAccount(*user) && user->savePath.size() >= 2) {
        if (PathExists(user->savePath)) {
            const std::wstring folder = user->savePath + L"/" + sceneName;
            CreateFolderIfMissing(folder, madeFolders);
            archivePath = FreshArchivePath(folder, sceneName);
        }
        password = ArchivePassword(WideToUtf8(sceneName));
    }
    if (archivePath.empty())
        archivePath = FreshArchivePath(clientInfo.compressDir, sceneName);

    const std::string archiveUtf8 = WideToUtf8(archivePath);
    // The archive keeps the file's name only, so a snapshot named as the scene packs as the scene.
    const std::string& packedFile = clientInfo.snapshotPath.empty() ? clientInfo.scenePath : clientInfo.snapshotPath;
    clientInfo.zipArguments = ArchiverArguments(password, Utf8ToAnsi(archiveUtf8), Utf8ToAnsi(packedFile));
    clientInfo.compressPath = archiveUtf8;
    if (wideArguments)
        *wideArguments = ArchiverArguments(Utf8ToWide(password), archivePath, Utf8ToWide(packedFile));

    // 7-Zip and Windows drop a trailing space or dot from names: such an archive would not be
    // where the client looks for it.
    return !sceneName.empty() && sceneName.back() != L' ' && sceneName.back() != L'.';
}

std::wstring ArchiverCommandLine(const std::wstring& zipExePath, const std::wstring& arguments) {
    return L"\"" + zipExePath + L"\"" + arguments;
}

ArchiverRun RunArchiver(RUDRenderingDataMgr& store, const ClientInfo& clientInfo, const std::wstring& wideArguments) {
    const std::wstring arguments =
        wideArguments.empty() ? AnsiChsToWide(clientInfo.zipArguments) : wideArguments;
    const std::wstring archive = Utf8ToWide(clientInfo.compressPath);
    store.busyArchiveBytes = 0;
    store.busyPackPercent = -1;

    ArchiverWatch watch;
    watch.cancelRequested = &store.busyCancelRequested;
    watch.onPercent = [&store](int32_t percent) { store.busyPackPercent = percent; };
    // The size stays the fallback for a 7-Zip that reports no percentage.
    DWORD lastSizeCheck = ::GetTickCount() - kSizePollMs;
    watch.onPoll = [&] {
        if (::GetTickCount() - lastSizeCheck < kSizePollMs) return;
        lastSizeCheck = ::GetTickCount();
        store.busyArchiveBytes = std::max<int64_t>(FileBytes(archive), 0);
    };
    ArchiverRunResult result = RunArchiverProcess(ArchiverCommandLine(clientInfo.zipExePath, arguments), watch);
    // The client ships its own 7z.exe, which may predate the progress switch and then rejects
    // the whole command line. Without the switch the busy dialog shows the archive's size.
    const size_t progressSwitch = arguments.find(kProgressSwitch);
    if (result.end == ArchiverEnd::kFinished && result.exitCode == kSevenZipCommandLineError &&
        progressSwitch != std::wstring::npos) {
        store.dataLog.write("7-Zip rejected the command line (exit code 7); packing again without -bsp1.", "WARN");
        std::wstring plain = arguments;
        plain.erase(progressSwitch, std::wcslen(kProgressSwitch));
        ::DeleteFileW(archive.c_str());
        result = RunArchiverProcess(ArchiverCommandLine(clientInfo.zipExePath, plain), watch);
    }
    store.busyArchiveBytes = std::max<int64_t>(FileBytes(archive), 0);
    // What a stopped 7-Zip leaves is no archive anyone could use.
    if (result.end == ArchiverEnd::kCancelled) ::DeleteFileW(archive.c_str());
    ArchiverRun run;
    run.started = result.end != ArchiverEnd::kNotStarted;
    run.cancelled = result.end == ArchiverEnd::kCancelled;
    run.startError = result.startError;
    run.exitCode = result.exitCode;
    return run;
}

} // namespace rud
