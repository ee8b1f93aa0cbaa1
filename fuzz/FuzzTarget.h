#pragma once
// One reader of outside input, as the fuzzer drives it: how a case is made from the seeds, and
// how the real product code is called on it.
#include "fuzz/FuzzRandom.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace rudfuzz {

// One input file of a case (a case of the settings reader has two: the settings file and custom.bin).
struct CasePart {
    std::string suffix;  // file name suffix of a saved finding: "json", "ini", "bin", ...
    std::string bytes;
};

struct FuzzCase {
    std::vector<CasePart> parts;
    std::vector<uint64_t> numbers;  // choices that are not bytes (sizes, options), saved with a finding
    std::string notes;              // the same in words

    const CasePart* Part(const std::string& suffix) const {
        for (const CasePart& part : parts)
            if (part.suffix == suffix) return &part;
        return nullptr;
    }
};

// The verdict on one case that came back: an empty `problem` means it passed.
struct CaseOutcome {
    std::string problem;
};

struct SeedFiles {
    std::vector<std::string> analyses;
    std::vector<std::string> replies;
    std::vector<std::string> settings;
    std::vector<std::string> customBins;
    std::vector<std::string> records;
};

class FuzzTarget {
public:
    virtual ~FuzzTarget() = default;
    virtual const char* Name() const = 0;
    virtual FuzzCase Make(FuzzRandom& random) const = 0;
    // Calls the product code on the case; never throws itself (a throw out of product code is
    // caught by the worker and counts as a crash).
    virtual CaseOutcome Run(const FuzzCase& input) = 0;
};

std::unique_ptr<FuzzTarget> MakeAnalysisTarget(const SeedFiles& seeds);
std::unique_ptr<FuzzTarget> MakeReplyTarget(const SeedFiles& seeds);
std::unique_ptr<FuzzTarget> MakeSettingsTarget(const SeedFiles& seeds);
std::unique_ptr<FuzzTarget> MakeSharedMemoryTarget(const SeedFiles& seeds);
std::unique_ptr<FuzzTarget> MakeTaskFileTarget(const SeedFiles& seeds);

// The target names in the order of a full run.
const std::vector<std::string>& TargetNames();
std::unique_ptr<FuzzTarget> MakeTarget(const std::string& name, const SeedFiles& seeds);

// A fuzzed analysis as the script could leave it: JSON-aware most of the time, bytes otherwise.
std::string MakeAnalysisBytes(const SeedFiles& seeds, FuzzRandom& random);
// The analysis bytes as wide text: UTF-8 decoded, an encoded surrogate kept as the lone code
// unit it names (so the readers meet unpaired surrogates too), other broken bytes as U+FFFD.
std::wstring AnalysisWideText(const std::string& bytes);

} // namespace rudfuzz
