// rud_fuzz: mutated input for every reader of outside text, in process, under a watchdog.
//
//   rud_fuzz [--target NAME|all] [--cases N] [--seed S] [--case K] [--watchdog MS]
//            [--progress N] [--source DIR] [--findings DIR]
//
// The same seed makes the same cases; --case K --cases 1 makes case K alone (as a finding's
// note says). Ends with "N passed, M failed"; exit code 0 only when nothing failed.
#include "fuzz/FuzzRun.h"

#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <cwchar>
#include <string>

#ifndef RUD_FUZZ_SOURCE_DIR
#define RUD_FUZZ_SOURCE_DIR "."
#endif

namespace {

std::wstring Widen(const char* text) {
    std::wstring wide;
    for (; *text; ++text) wide += static_cast<wchar_t>(static_cast<unsigned char>(*text));
    return wide;
}

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

int Usage() {
    std::printf("usage: rud_fuzz [--target NAME|all] [--cases N] [--seed S] [--case K] [--watchdog MS]\n"
                "                [--progress N] [--source DIR] [--findings DIR]\n"
                "targets: analysis reply settings sharedmemory taskfile\n");
    return 2;
}

bool Number(const wchar_t* text, uint64_t& value) {
    wchar_t* end = nullptr;
    value = std::wcstoull(text, &end, 10);
    return end && *end == L'\0' && end != text;
}

int Run(int argc, wchar_t** argv) {
    rudfuzz::RunOptions options;
    options.sourceFolder = Widen(RUD_FUZZ_SOURCE_DIR);
    std::string target = "all";
    bool worker = false, findingsGiven = false;
    uint64_t from = 0, to = 0;
    std::wstring statusName;
    for (int i = 1; i < argc; ++i) {
        const std::wstring arg = argv[i];
        const bool hasValue = i + 1 < argc;
        uint64_t number = 0;
        if (arg == L"--worker") { worker = true; continue; }
        if (!hasValue) return Usage();
        const wchar_t* value = argv[++i];
        if (arg == L"--target") target = Narrow(value);
        else if (arg == L"--source") options.sourceFolder = value;
        else if (arg == L"--findings") { options.findingsFolder = value; findingsGiven = true; }
        else if (arg == L"--status") statusName = value;
        else if (!Number(value, number)) return Usage();
        else if (arg == L"--cases") options.cases = number;
        else if (arg == L"--seed") options.seed = number;
        else if (arg == L"--case") options.firstCase = number;
        else if (arg == L"--progress") options.progressEvery = number;
        else if (arg == L"--watchdog") options.watchdogMs = static_cast<DWORD>(number);
        else if (arg == L"--from") from = number;
        else if (arg == L"--to") to = number;
        else return Usage();
    }
    if (!findingsGiven) options.findingsFolder = options.sourceFolder + L"/fuzz/findings";
    if (worker) return rudfuzz::RunWorker(options, target, from, to, statusName);

    if (target == "all") {
        options.targets = rudfuzz::TargetNames();
    } else {
        bool known = false;
        for (const std::string& name : rudfuzz::TargetNames()) known = known || name == target;
        if (!known) return Usage();
        options.targets = {target};
    }
    return rudfuzz::RunSupervisor(options);
}

} // namespace

int main() {
    int argc = 0;
    wchar_t** argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    if (!argv) return 2;
    const int code = Run(argc, argv);
    ::LocalFree(argv);
    return code;
}
