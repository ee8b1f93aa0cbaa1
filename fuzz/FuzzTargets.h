#pragma once
// The readers of outside text the fuzzer drives, as a table: how a case is made from the seeds,
// and how the product code is called on it and judged.
#include "fuzz/FuzzRandom.h"

#include <cstdint>
#include <string>
#include <vector>

namespace rudfuzz {

// One input file of a case (a settings case has two: the settings file and custom.bin).
struct CasePart {
    std::string suffix;  // the file name suffix of a saved finding: "json", "ini", "bin", ...
    std::string bytes;
};

struct FuzzCase {
    std::vector<CasePart> parts;
    std::vector<uint64_t> numbers;  // choices that are not bytes (sizes, options), kept with a finding
    std::string notes;              // the same in words

    const CasePart* Part(const std::string& suffix) const {
        for (const CasePart& part : parts)
            if (part.suffix == suffix) return &part;
        return nullptr;
    }
};

struct SeedFiles {
    std::vector<std::string> analyses, replies, settings, customBins, records;
};

struct Target {
    const char* name;
    FuzzCase (*make)(const SeedFiles& seeds, FuzzRandom& random);
    // What is wrong with the product's answer to the case; empty when nothing is.
    std::string (*run)(const FuzzCase& input);
};

// In the order of a full run.
const std::vector<Target>& Targets();

// Every message box the product showed since the last call (the fuzzer answers them all).
struct ShownBox {
    std::wstring text, caption;
};
std::vector<ShownBox> TakeShownBoxes();

std::string ReadFileBytes(const std::wstring& path);
bool WriteFileBytes(const std::wstring& path, const std::string& bytes);

} // namespace rudfuzz
