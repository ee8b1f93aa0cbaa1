// The worker process: runs a range of cases of one target in process, under an unhandled-
// exception filter and abort/terminate handlers that note what ended it for the supervisor.
#include "core/DataFolders.h"
#include "core/ResourceStrings.h"
#include "fuzz/FuzzRun.h"

#include <windows.h>

#include <csignal>
#include <cstdio>
#include <exception>

namespace rudfuzz {
namespace {

WorkerStatus* status = nullptr;

constexpr LONG kAbortCode = 0x40000015;         // STATUS_FATAL_APP_EXIT: abort(), a failed assertion
constexpr LONG kUncaughtException = 0xE06D7363;  // a C++ exception nobody caught

void NoteCrash(LONG code) {
    if (status) ::InterlockedExchange(&status->crashCode, code);
}

LONG WINAPI UnhandledException(EXCEPTION_POINTERS* exception) {
    NoteCrash(static_cast<LONG>(exception->ExceptionRecord->ExceptionCode));
    ::TerminateProcess(::GetCurrentProcess(), exception->ExceptionRecord->ExceptionCode);
    return EXCEPTION_EXECUTE_HANDLER;
}

void OnAbort(int) {
    NoteCrash(kAbortCode);
    ::TerminateProcess(::GetCurrentProcess(), 3);
}

void OnTerminate() {
    NoteCrash(kUncaughtException);
    try {
        if (std::exception_ptr current = std::current_exception()) std::rethrow_exception(current);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "rud_fuzz: uncaught exception: %s\n", error.what());
    } catch (...) {
    }
    ::TerminateProcess(::GetCurrentProcess(), 4);
}

// The plug-in's language file, for the texts of the message boxes the readers show.
bool LoadLanguageFile() {
    rud::SetModuleInstance(::GetModuleHandleW(nullptr));
    wchar_t exe[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, exe, MAX_PATH);
    std::wstring folder(exe);
    folder = folder.substr(0, folder.find_last_of(L"\\/"));
    HMODULE module = ::LoadLibraryExW((folder + L"\\en-US\\RUD_Rendering_2025.gup.mui").c_str(), nullptr,
                                      LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (!module) return false;
    rud::SetLanguageModule(module);
    return true;
}

} // namespace

int RunWorker(const RunOptions& options, const std::string& targetName, uint64_t from, uint64_t to,
              const std::wstring& statusName) {
    ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    ::SetUnhandledExceptionFilter(&UnhandledException);
    std::signal(SIGABRT, &OnAbort);
    std::set_terminate(&OnTerminate);

    HANDLE mapping = ::OpenFileMappingW(FILE_MAP_WRITE, FALSE, statusName.c_str());
    if (!mapping) return 2;
    status = static_cast<WorkerStatus*>(::MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, sizeof(WorkerStatus)));
    if (!status) return 2;
    if (!LoadLanguageFile()) {
        std::fprintf(stderr, "rud_fuzz: cannot load the language file en-US\\RUD_Rendering_2025.gup.mui\n");
        return 2;
    }
    // The log channels and the settings file live below the data folder, which the desktop
    // client's installer would have made.
    for (const std::wstring& folder : {rud::CommonAppDataFolder(), rud::DataFolder(), rud::DataFolder() + L"/script",
                                       rud::DataFolder() + L"/json"})
        ::CreateDirectoryW(folder.c_str(), nullptr);

    const SeedFiles seeds = LoadSeeds(options.sourceFolder);
    std::unique_ptr<FuzzTarget> target = MakeTarget(targetName, seeds);
    if (!target) return 2;
    for (uint64_t index = from; index < to; ++index) {
        const FuzzCase input = MakeCase(*target, options.seed, index);
        ::InterlockedExchange64(&status->currentCase, static_cast<LONG64>(index));
        ::InterlockedExchange64(&status->caseStarted, static_cast<LONG64>(::GetTickCount64()));
        const CaseOutcome outcome = target->Run(input);
        ::InterlockedExchange64(&status->caseStarted, 0);
        if (!outcome.problem.empty()) {
            SaveFinding(options, targetName, index, input, "bad", outcome.problem);
            ::InterlockedIncrement64(&status->badOutputs);
        }
        ::InterlockedExchange64(&status->nextCase, static_cast<LONG64>(index + 1));
    }
    target.reset();
    return 0;
}

} // namespace rudfuzz
