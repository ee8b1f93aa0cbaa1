#pragma once
// A run of the fuzzer. The supervisor (the program as started) runs each target's cases in a
// worker process (the same program with --worker) and watches it through a small status block
// in shared memory: a case that crashes the worker, or runs longer than the watchdog allows,
// is saved as a finding and the run goes on with a fresh worker after it.
#include "fuzz/FuzzTarget.h"

#include <windows.h>

#include <cstdint>
#include <string>

namespace rudfuzz {

struct RunOptions {
    std::vector<std::string> targets;
    uint64_t cases = 1000;
    uint64_t seed = 1;
    uint64_t firstCase = 0;     // --case K runs the cases K .. K + cases - 1
    std::wstring sourceFolder;  // the source tree: samples/analyses and fuzz/seeds/* are the seeds
    std::wstring findingsFolder;
    DWORD watchdogMs = 2000;
    uint64_t progressEvery = 0;  // a progress line every this many cases (0: none)
};

// What a worker shares with its supervisor, written by the worker before and after each case.
struct WorkerStatus {
    volatile LONG64 currentCase;   // the case being run
    volatile LONG64 caseStarted;   // GetTickCount64() when it started; 0 between cases
    volatile LONG64 nextCase;      // every case before this one has finished
    volatile LONG64 badOutputs;    // cases whose output was wrong (saved by the worker)
    volatile LONG crashCode;       // the exception or signal that ended the worker, if any
};

SeedFiles LoadSeeds(const std::wstring& sourceFolder);

// The whole file; empty when it cannot be read.
std::string ReadFileBytes(const std::wstring& path);

// Makes case `index` of `target` for the run's seed.
FuzzCase MakeCase(const FuzzTarget& target, uint64_t seed, uint64_t index);

// Saves the case's parts and a note under the findings folder; returns the base path.
std::wstring SaveFinding(const RunOptions& options, const std::string& target, uint64_t index, const FuzzCase& input,
                         const std::string& kind, const std::string& detail);

// The worker: runs cases [from, to) of one target, reporting through the named status block.
int RunWorker(const RunOptions& options, const std::string& target, uint64_t from, uint64_t to,
              const std::wstring& statusName);

// The supervisor: every target in turn; prints the summary; returns the process exit code.
int RunSupervisor(const RunOptions& options);

} // namespace rudfuzz
