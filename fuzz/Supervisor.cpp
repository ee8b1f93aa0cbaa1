// The supervisor: one worker process at a time, a watchdog on each case, findings for the cases
// that end a worker, and the summary.
#include "core/DataFolders.h"
#include "fuzz/FuzzRun.h"

#include <windows.h>

#include <cstdio>
#include <functional>
#include <optional>

namespace rudfuzz {
namespace {

struct WorkerResult {
    bool finished = false;   // every case of the range ran
    bool timedOut = false;   // the watchdog ended the worker
    LONG crashCode = 0;
    DWORD exitCode = 0;
    int64_t currentCase = -1;
    int64_t nextCase = 0;
    int64_t badOutputs = 0;
};

std::wstring Widen(const std::string& text) { return std::wstring(text.begin(), text.end()); }

std::wstring ProgramPath() {
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    return path;
}

std::optional<WorkerResult> RunWorkerProcess(const RunOptions& options, const std::string& target, uint64_t from,
                                             uint64_t to, const std::function<void(uint64_t)>& progress = {}) {
    static unsigned serial = 0;
    const std::wstring statusName = L"Local\\rud_fuzz_status_" + std::to_wstring(::GetCurrentProcessId()) + L"_" +
                                    std::to_wstring(++serial);
    HANDLE mapping = ::CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(WorkerStatus),
                                          statusName.c_str());
    if (!mapping) return std::nullopt;
    auto* status = static_cast<WorkerStatus*>(::MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, sizeof(WorkerStatus)));
    if (!status) { ::CloseHandle(mapping); return std::nullopt; }
    status->currentCase = -1;
    status->caseStarted = 0;
    status->nextCase = static_cast<LONG64>(from);
    status->badOutputs = 0;
    status->crashCode = 0;

    std::wstring command = L"\"" + ProgramPath() + L"\" --worker --target " + Widen(target) + L" --seed " +
                           std::to_wstring(options.seed) + L" --from " + std::to_wstring(from) + L" --to " +
                           std::to_wstring(to) + L" --status " + statusName + L" --source \"" + options.sourceFolder +
                           L"\" --findings \"" + options.findingsFolder + L"\"";
    // The readers' own console lines (the reply reader prints one per unusable reply) would bury
    // the summary: the worker's standard output goes nowhere; its error output (assertion
    // texts) stays.
    SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE nowhere = ::CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                   &inheritable, OPEN_EXISTING, 0, nullptr);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = nowhere;
    startup.hStdOutput = nowhere;
    startup.hStdError = ::GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION process{};
    const BOOL started = ::CreateProcessW(nullptr, &command[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                                          &startup, &process);
    if (nowhere != INVALID_HANDLE_VALUE) ::CloseHandle(nowhere);
    if (!started) {
        ::UnmapViewOfFile(status);
        ::CloseHandle(mapping);
        return std::nullopt;
    }
    ::CloseHandle(process.hThread);

    WorkerResult result;
    uint64_t reported = from;
    while (::WaitForSingleObject(process.hProcess, 50) == WAIT_TIMEOUT) {
        const uint64_t done = static_cast<uint64_t>(status->nextCase);
        if (progress && options.progressEvery && done - reported >= options.progressEvery) {
            reported = done;
            progress(done);
        }
        const LONG64 started = status->caseStarted;
        if (started != 0 && ::GetTickCount64() - static_cast<ULONGLONG>(started) > options.watchdogMs) {
            result.timedOut = true;
            ::TerminateProcess(process.hProcess, 0xDEAD);
            ::WaitForSingleObject(process.hProcess, INFINITE);
            break;
        }
    }
    ::GetExitCodeProcess(process.hProcess, &result.exitCode);
    ::CloseHandle(process.hProcess);
    result.currentCase = status->currentCase;
    result.nextCase = status->nextCase;
    result.badOutputs = status->badOutputs;
    result.crashCode = status->crashCode;
    result.finished = !result.timedOut && result.exitCode == 0 && result.nextCase == static_cast<int64_t>(to);
    ::UnmapViewOfFile(status);
    ::CloseHandle(mapping);
    return result;
}

std::string Hex(uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", value);
    return text;
}

// The data folder's own settings file and custom.bin, put back after the settings reader's run.
class KeptFiles {
public:
    KeptFiles() {
        for (auto& kept : files_) {
            kept.existed = ReadFile(kept.path, kept.bytes);
        }
    }
    ~KeptFiles() {
        for (auto& kept : files_) {
            ::DeleteFileW(kept.path.c_str());
            if (kept.existed) WriteFile(kept.path, kept.bytes);
        }
    }
    KeptFiles(const KeptFiles&) = delete;
    KeptFiles& operator=(const KeptFiles&) = delete;

private:
    struct Kept {
        std::wstring path;
        std::string bytes;
        bool existed = false;
    };
    static bool ReadFile(const std::wstring& path, std::string& bytes) {
        HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE) return false;
        char chunk[65536];
        DWORD read = 0;
        while (::ReadFile(file, chunk, sizeof chunk, &read, nullptr) && read > 0) bytes.append(chunk, read);
        ::CloseHandle(file);
        return true;
    }
    static void WriteFile(const std::wstring& path, const std::string& bytes) {
        HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE) return;
        DWORD written = 0;
        (void)::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        ::CloseHandle(file);
    }
    Kept files_[2] = {{rud::SettingsFilePath()}, {rud::DataFolder() + L"/script/custom.bin"}};
};

struct TargetTotals {
    uint64_t cases = 0, crashes = 0, hangs = 0, bad = 0, slow = 0;
    double seconds = 0;
};

// Runs every case of one target; false when no worker could be run at all.
bool RunTarget(const RunOptions& options, const std::string& name, const SeedFiles& seeds, TargetTotals& totals) {
    const std::unique_ptr<FuzzTarget> target = MakeTarget(name, seeds);  // makes the findings' inputs again
    std::optional<KeptFiles> kept;
    if (name == "settings") kept.emplace();
    const ULONGLONG start = ::GetTickCount64();
    const uint64_t end = options.firstCase + options.cases;
    uint64_t next = options.firstCase;
    auto finding = [&](uint64_t index, const std::string& kind, const std::string& detail) {
        const std::wstring base = SaveFinding(options, name, index, MakeCase(*target, options.seed, index), kind, detail);
        std::printf("  %s case %llu: %s (%ls.*)\n", kind.c_str(), static_cast<unsigned long long>(index),
                    detail.c_str(), base.c_str());
        std::fflush(stdout);
    };
    while (next < end) {
        const std::optional<WorkerResult> run = RunWorkerProcess(options, name, next, end, [&](uint64_t done) {
            if (!options.progressEvery) return;
            std::printf("  %s: %llu cases done, %.0f s\n", name.c_str(), static_cast<unsigned long long>(done - options.firstCase),
                        static_cast<double>(::GetTickCount64() - start) / 1000.0);
            std::fflush(stdout);
        });
        if (!run) return false;
        totals.bad += static_cast<uint64_t>(run->badOutputs);
        if (run->finished) break;
        if (run->currentCase < static_cast<int64_t>(next) || run->currentCase < run->nextCase) {
            std::printf("  the %s worker ended before running a case (exit code %s)\n", name.c_str(),
                        Hex(run->exitCode).c_str());
            return false;
        }
        const uint64_t failing = static_cast<uint64_t>(run->currentCase);
        if (run->timedOut) {
            // A busy machine can stall any case once; a case that overruns twice hangs.
            const std::optional<WorkerResult> again = RunWorkerProcess(options, name, failing, failing + 1);
            if (!again) return false;
            totals.bad += static_cast<uint64_t>(again->badOutputs);
            if (again->finished) {
                ++totals.slow;
            } else if (again->timedOut) {
                ++totals.hangs;
                finding(failing, "hang", "over " + std::to_string(options.watchdogMs) + " ms, twice");
            } else {
                ++totals.crashes;
                finding(failing, "crash", "exception " + Hex(static_cast<uint32_t>(again->crashCode)) + ", exit code " +
                                              Hex(again->exitCode));
            }
        } else {
            ++totals.crashes;
            finding(failing, "crash", "exception " + Hex(static_cast<uint32_t>(run->crashCode)) + ", exit code " +
                                          Hex(run->exitCode));
        }
        next = failing + 1;
    }
    totals.cases = options.cases;
    totals.seconds = static_cast<double>(::GetTickCount64() - start) / 1000.0;
    return true;
}

} // namespace

int RunSupervisor(const RunOptions& options) {
    const SeedFiles seeds = LoadSeeds(options.sourceFolder);
    if (seeds.analyses.empty() || seeds.replies.empty() || seeds.settings.empty() || seeds.customBins.empty() ||
        seeds.records.empty()) {
        std::printf("rud_fuzz: seeds missing below %ls (samples/analyses, fuzz/seeds/*)\n", options.sourceFolder.c_str());
        return 2;
    }
    std::printf("rud_fuzz: seed %llu, %llu cases per target from case %llu, watchdog %lu ms\n",
                static_cast<unsigned long long>(options.seed), static_cast<unsigned long long>(options.cases),
                static_cast<unsigned long long>(options.firstCase), static_cast<unsigned long>(options.watchdogMs));
    std::fflush(stdout);
    uint64_t passed = 0, failed = 0;
    for (const std::string& name : options.targets) {
        TargetTotals totals;
        if (!RunTarget(options, name, seeds, totals)) {
            std::printf("rud_fuzz: cannot run the %s target\n", name.c_str());
            return 2;
        }
        const uint64_t targetFailed = totals.crashes + totals.hangs + totals.bad;
        passed += totals.cases - targetFailed;
        failed += targetFailed;
        std::printf("%-13s cases %llu  crashes %llu  hangs %llu  bad outputs %llu  slow %llu  time %.1f s\n",
                    name.c_str(), static_cast<unsigned long long>(totals.cases),
                    static_cast<unsigned long long>(totals.crashes), static_cast<unsigned long long>(totals.hangs),
                    static_cast<unsigned long long>(totals.bad), static_cast<unsigned long long>(totals.slow),
                    totals.seconds);
        std::fflush(stdout);
    }
    if (failed) std::printf("findings in %ls\n", options.findingsFolder.c_str());
    std::printf("%llu passed, %llu failed\n", static_cast<unsigned long long>(passed),
                static_cast<unsigned long long>(failed));
    return failed ? 1 : 0;
}

} // namespace rudfuzz
