#pragma once
// The fuzzer's parts: its only source of chance, its one mutation engine, and the readers of
// outside text it drives, as a table of how a case is made from the seeds and how the product
// code is called on it and judged.
//
// Every case draws from its own generator, seeded from the run's seed, the target's name and the
// case number, so one case can be made again on its own (a finding replayed with --case, a long
// pass going on after a crash) exactly as in the full run.
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <string>
#include <vector>

namespace rudfuzz {

class FuzzRandom {
public:
    explicit FuzzRandom(uint64_t seed) : state_(seed) {}

    uint64_t Next() {  // splitmix64
        uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // Uniform in [0, bound); 0 when bound is 0.
    size_t Below(size_t bound) { return bound == 0 ? 0 : static_cast<size_t>(Next() % bound); }
    bool OneIn(size_t n) { return Below(n) == 0; }
    // Mostly small, sometimes large: lengths of runs and strings.
    size_t Length(size_t small, size_t large) { return OneIn(8) ? Below(large + 1) : Below(small + 1); }
    template <typename Items>  // a vector or an array
    const auto& Pick(const Items& items) { return items[Below(std::size(items))]; }

private:
    uint64_t state_;
};

inline uint64_t CaseSeed(uint64_t runSeed, const std::string& target, uint64_t caseIndex) {
    uint64_t hash = 1469598103934665603ull;  // FNV-1a of the target name
    for (unsigned char c : target) hash = (hash ^ c) * 1099511628211ull;
    FuzzRandom mix(runSeed ^ hash ^ (caseIndex * 0xD1B54A32D192ED03ull));
    return mix.Next();
}

// One to `maxSteps` byte mutations of `input`: flips, overwrites, inserted, deleted, duplicated,
// moved and spliced runs (from `donors`), cuts, and the byte sequences text readers trip over.
// Capped at `maxSize` bytes.
std::string MutateBytes(std::string input, FuzzRandom& random, const std::vector<std::string>& donors,
                        size_t maxSteps = 4, size_t maxSize = 1 << 20);

// The seed parsed and written out again, and on the way chosen values change type, members vanish
// or repeat, values sink under deep nesting (at most `maxNesting`), numbers turn huge or tiny, and
// strings grow long or carry invalid UTF-8, lone surrogates, NUL and byte-order marks. Most results
// still parse, so the readers get past their parse step and meet the odd values themselves. Byte
// mutations when the seed does not parse.
std::string MutateJson(const std::string& seedJson, FuzzRandom& random, const std::vector<std::string>& donors,
                       size_t maxNesting = 5000);

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

} // namespace rudfuzz
