#pragma once
// The fuzzer's only source of chance. Every case draws from its own generator, seeded from the
// run's seed, the target's name and the case number, so one case can be made again on its own
// (a finding replayed with --case, a long pass going on after a crash) exactly as in the full run.
#include <cstddef>
#include <cstdint>
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
    template <typename T>
    const T& Pick(const std::vector<T>& items) { return items[Below(items.size())]; }
    template <typename T, size_t N>
    const T& Pick(const T (&items)[N]) { return items[Below(N)]; }

private:
    uint64_t state_;
};

inline uint64_t CaseSeed(uint64_t runSeed, const std::string& target, uint64_t caseIndex) {
    uint64_t hash = 1469598103934665603ull;  // FNV-1a of the target name
    for (unsigned char c : target) hash = (hash ^ c) * 1099511628211ull;
    FuzzRandom mix(runSeed ^ hash ^ (caseIndex * 0xD1B54A32D192ED03ull));
    return mix.Next();
}

} // namespace rudfuzz
