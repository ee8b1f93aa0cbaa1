// rud_fuzz: mutated input for every reader of outside text, in one process.
//
//   rud_fuzz [--target NAME|all] [--cases N] [--from K] [--case K] [--seed S] [--watchdog MS]
//            [--source DIR] [--findings DIR]
//
// Every case is made from its own generator (run seed, target, case index), so any case can be
// made again alone: --case K. Each case is announced before it runs, so a run that dies names
// the case that killed it. Ends with "N passed, M failed"; exit code 0 only when nothing failed,
// 3 when a crash or a hang ended the run (fuzz/long_pass.sh then goes on after that case).
#include "core/DataFolders.h"
#include "core/MessageBoxes.h"
#include "core/ResourceStrings.h"
#include "fuzz/Fuzz.h"
#include "tests/support/TestFiles.h"

#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <mutex>
#include <thread>
#include <utility>

#ifndef RUD_FUZZ_SOURCE_DIR
#define RUD_FUZZ_SOURCE_DIR "."
#endif

namespace rudfuzz {

namespace {

using Count = unsigned long long;  // as printf's %llu takes it

std::wstring Widen(const std::string& text) { return std::wstring(text.begin(), text.end()); }

struct Options {
    Count cases = 1000, from = 0, seed = 1, watchdogMs = 2000;  // a case slower than the watchdog hangs
    std::wstring sourceFolder = Widen(RUD_FUZZ_SOURCE_DIR), findingsFolder;
} options;

// The case being run, for the watchdog and the crash handlers; `lock` guards the rest.
struct Running {
    std::mutex lock;
    const Target* target = nullptr;
    Count index = 0;
    const FuzzCase* input = nullptr;  // null between cases
    ULONGLONG started = 0;
    bool ending = false;
} running;

// Every file of a folder, in name order (the order must not depend on the file system).
std::vector<std::string> FolderFiles(const std::wstring& folder) {
    std::vector<std::filesystem::path> names;
    std::error_code missing;
    for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(folder), missing))
        if (entry.is_regular_file()) names.push_back(entry.path());
    std::sort(names.begin(), names.end());
    std::vector<std::string> files;
    for (const auto& name : names) files.push_back(rudtest::ReadBytes(name.wstring()));
    return files;
}

// Saves the case's parts and a note under the findings folder and says so.
void SaveFinding(const Target& target, Count index, const FuzzCase& input, const char* kind, const std::string& detail) {
    ::CreateDirectoryW(options.findingsFolder.c_str(), nullptr);
    const std::string again = std::string(target.name) + " --seed " + std::to_string(options.seed) + " --case " +
                              std::to_string(index);
    const std::wstring base = options.findingsFolder + L"/" + Widen(std::string(target.name) + "-seed" +
                              std::to_string(options.seed) + "-case" + std::to_string(index) + "-" + kind);
    for (const CasePart& part : input.parts) rudtest::WriteBytes(base + L"." + Widen(part.suffix), part.bytes);
    rudtest::WriteBytes(base + L".txt", std::string(kind) + ": " + detail + "\n" + input.notes +
                                             "again: rud_fuzz --target " + again + "\n");
    std::printf("  %s: %s case %llu: %s (%ls.*)\n", kind, target.name, index, detail.c_str(), base.c_str());
    std::fflush(stdout);
}

// Saves the running case as a finding and ends the process (the caller holds running.lock);
// only the first caller gets this far.
[[noreturn]] void EndWithRunningCase(const char* kind, const std::string& detail) {
    if (!running.ending) {
        running.ending = true;
        if (running.input) SaveFinding(*running.target, running.index, *running.input, kind, detail);
        std::printf("the run ended at a %s\n", kind);
        std::fflush(stdout);
        ::TerminateProcess(::GetCurrentProcess(), 3);
    }
    for (;;) ::Sleep(INFINITE);
}

[[noreturn]] void EndWithCrash(const std::string& detail) {
    running.lock.lock();
    EndWithRunningCase("crash", detail);
}

LONG WINAPI UnhandledException(EXCEPTION_POINTERS* exception) {
    char code[32];
    std::snprintf(code, sizeof code, "exception 0x%08lX", exception->ExceptionRecord->ExceptionCode);
    EndWithCrash(code);
}

void Watchdog() {
    for (;;) {
        ::Sleep(100);
        std::lock_guard<std::mutex> hold(running.lock);
        if (running.input && ::GetTickCount64() - running.started > options.watchdogMs)
            EndWithRunningCase("hang", "over " + std::to_string(options.watchdogMs) + " ms");
    }
}

// The number of failed cases.
Count RunTarget(const Target& target, const SeedFiles& seeds) {
    Count failed = 0;
    for (Count index = options.from; index < options.from + options.cases; ++index) {
        FuzzRandom random(CaseSeed(options.seed, target.name, index));
        const FuzzCase input = target.make(seeds, random);
        std::printf("case %s %llu\n", target.name, index);
        std::fflush(stdout);
        const ULONGLONG began = ::GetTickCount64();
        {
            std::lock_guard<std::mutex> hold(running.lock);
            running.target = &target;
            running.index = index;
            running.input = &input;
            running.started = began;
        }
        std::string problem;
        const char* kind = "crash";
        try {
            problem = target.run(input);
            kind = "bad";
        } catch (const std::exception& error) {
            problem = std::string("exception out of the product code: ") + error.what();
        } catch (...) {
            problem = "exception out of the product code";
        }
        const ULONGLONG took = ::GetTickCount64() - began;
        {
            std::lock_guard<std::mutex> hold(running.lock);
            running.input = nullptr;
        }
        // A slow case is a finding even though it ended: a busy machine is no excuse at 2 s.
        if (problem.empty() && took > options.watchdogMs) {
            kind = "hang";
            problem = "took " + std::to_string(took) + " ms";
        }
        if (!problem.empty()) {
            ++failed;
            SaveFinding(target, index, input, kind, problem);
        }
    }
    return failed;
}

int Usage() {
    std::printf("usage: rud_fuzz [--target NAME|all] [--cases N] [--from K] [--case K] [--seed S] [--watchdog MS]\n"
                "                [--source DIR] [--findings DIR]\ntargets:");
    for (const Target& target : Targets()) std::printf(" %s", target.name);
    std::printf("\n");
    return 2;
}

int Run(int argc, wchar_t** argv) {
    std::wstring target = L"all";
    bool casesGiven = false, oneCase = false;
    if (argc % 2 == 0) return Usage();  // options come in pairs
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::wstring arg = argv[i], value = argv[i + 1];
        wchar_t* end = nullptr;
        const Count number = std::wcstoull(value.c_str(), &end, 10);
        const bool isNumber = !value.empty() && *end == L'\0';
        if (arg == L"--target") target = value;
        else if (arg == L"--source") options.sourceFolder = value;
        else if (arg == L"--findings") options.findingsFolder = value;
        else if (!isNumber) return Usage();
        else if (arg == L"--cases") { options.cases = number; casesGiven = true; }
        else if (arg == L"--from") options.from = number;
        else if (arg == L"--case") { options.from = number; oneCase = true; }
        else if (arg == L"--seed") options.seed = number;
        else if (arg == L"--watchdog") options.watchdogMs = number;
        else return Usage();
    }
    if (oneCase && !casesGiven) options.cases = 1;
    if (options.findingsFolder.empty()) options.findingsFolder = options.sourceFolder + L"/fuzz/findings";
    std::vector<const Target*> targets;
    for (const Target& known : Targets())
        if (target == L"all" || target == Widen(known.name)) targets.push_back(&known);
    if (targets.empty()) return Usage();

    SeedFiles seeds;
    const std::pair<std::vector<std::string> SeedFiles::*, const wchar_t*> seedFolders[] = {
        {&SeedFiles::analyses, L"/samples/analyses"}, {&SeedFiles::replies, L"/fuzz/seeds/replies"},
        {&SeedFiles::settings, L"/fuzz/seeds/settings"}, {&SeedFiles::customBins, L"/fuzz/seeds/custombin"},
        {&SeedFiles::records, L"/fuzz/seeds/records"}};
    for (const auto& [files, folder] : seedFolders)
        if ((seeds.*files = FolderFiles(options.sourceFolder + folder)).empty()) {
            std::printf("rud_fuzz: no seeds in %ls%ls\n", options.sourceFolder.c_str(), folder);
            return 2;
        }
    // The English texts of the message boxes the readers show.
    rud::UniqueModule language = rudtest::LoadLanguageFile(L"en-US");
    if (!language) {
        std::printf("rud_fuzz: cannot load the language file en-US\\RUD_Rendering_2025.gup.mui\n");
        return 2;
    }
    rud::SetModuleInstance(::GetModuleHandleW(nullptr));
    rud::SetLanguageModule(language.get());
    // The readers write logs and the settings target rewrites the settings file: never the machine's.
    const std::wstring dataFolder = rudtest::UseOwnDataFolder(L"rud_fuzz_data_");
    // No reader may wait for a person: any box the product still shows is answered at once.
    rud::SetMessageBoxHandler([](HWND, const std::wstring&, const std::wstring&, UINT, WORD) { return IDOK; });

    ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    ::SetUnhandledExceptionFilter(&UnhandledException);
    std::signal(SIGABRT, [](int) { EndWithCrash("abort (a failed assertion)"); });
    std::set_terminate([] { EndWithCrash("a C++ exception nobody caught"); });
    std::thread(&Watchdog).detach();

    std::printf("rud_fuzz: seed %llu, cases %llu to %llu, watchdog %llu ms\n", options.seed, options.from,
                options.from + options.cases - 1, options.watchdogMs);
    Count passed = 0, failed = 0;
    for (const Target* each : targets) {
        const ULONGLONG start = ::GetTickCount64();
        const Count targetFailed = RunTarget(*each, seeds);
        passed += options.cases - targetFailed;
        failed += targetFailed;
        std::printf("%-13s cases %llu  failed %llu  time %.1f s\n", each->name, options.cases, targetFailed,
                    static_cast<double>(::GetTickCount64() - start) / 1000.0);
    }
    rud::SetMessageBoxHandler(nullptr);
    std::error_code ignored;
    std::filesystem::remove_all(std::filesystem::path(dataFolder), ignored);
    if (failed) std::printf("findings in %ls\n", options.findingsFolder.c_str());
    std::printf("%llu passed, %llu failed\n", passed, failed);
    std::fflush(stdout);
    return failed ? 1 : 0;
}

} // namespace

} // namespace rudfuzz

int main() {
    int argc = 0;
    wchar_t** argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    if (!argv) return 2;
    const int code = rudfuzz::Run(argc, argv);
    ::LocalFree(argv);
    return code;
}
