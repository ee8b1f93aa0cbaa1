// ReadAnalysis and ReadSceneName on a store holding a fuzzed analysis.
#include "analysis/RUDRenderingDataMgr.h"
#include "fuzz/ByteMutations.h"
#include "fuzz/FuzzTarget.h"
#include "fuzz/JsonMutations.h"

namespace rudfuzz {

std::string MakeAnalysisBytes(const SeedFiles& seeds, FuzzRandom& random) {
    const std::string& seed = random.Pick(seeds.analyses);
    if (random.OneIn(5)) return MutateBytes(seed, random, seeds.analyses);
    std::string text = MutateJson(seed, random, seeds.analyses);
    // A second round now and then: odd values inside odd values.
    if (random.OneIn(4)) text = MutateJson(text, random, seeds.analyses);
    return text;
}

std::wstring AnalysisWideText(const std::string& bytes) {
    std::wstring out;
    out.reserve(bytes.size());
    const auto* at = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* end = at + bytes.size();
    auto continuation = [&](const unsigned char* p) { return p < end && (*p & 0xC0) == 0x80; };
    while (at < end) {
        const unsigned char lead = *at;
        if (lead < 0x80) { out += static_cast<wchar_t>(lead); ++at; continue; }
        if (lead >= 0xC2 && lead <= 0xDF && continuation(at + 1)) {
            out += static_cast<wchar_t>(((lead & 0x1F) << 6) | (at[1] & 0x3F));
            at += 2;
            continue;
        }
        if (lead >= 0xE0 && lead <= 0xEF && continuation(at + 1) && continuation(at + 2)) {
            const unsigned code = ((lead & 0x0F) << 12) | ((at[1] & 0x3F) << 6) | (at[2] & 0x3F);
            out += static_cast<wchar_t>(code >= 0x800 ? code : 0xFFFD);
            at += 3;
            continue;
        }
        if (lead >= 0xF0 && lead <= 0xF4 && continuation(at + 1) && continuation(at + 2) && continuation(at + 3)) {
            const unsigned code = ((lead & 0x07) << 18) | ((at[1] & 0x3F) << 12) | ((at[2] & 0x3F) << 6) | (at[3] & 0x3F);
            if (code >= 0x10000 && code <= 0x10FFFF) {
                out += static_cast<wchar_t>(0xD800 | ((code - 0x10000) >> 10));
                out += static_cast<wchar_t>(0xDC00 | ((code - 0x10000) & 0x3FF));
            } else {
                out += static_cast<wchar_t>(0xFFFD);
            }
            at += 4;
            continue;
        }
        out += static_cast<wchar_t>(0xFFFD);
        ++at;
    }
    return out;
}

namespace {

class AnalysisTarget : public FuzzTarget {
public:
    explicit AnalysisTarget(const SeedFiles& seeds) : seeds_(seeds) {}
    const char* Name() const override { return "analysis"; }

    FuzzCase Make(FuzzRandom& random) const override {
        FuzzCase input;
        input.parts.push_back({"json", MakeAnalysisBytes(seeds_, random)});
        return input;
    }

    CaseOutcome Run(const FuzzCase& input) override {
        rud::RUDRenderingDataMgr store;
        store.SetAnalysisText(AnalysisWideText(input.parts[0].bytes));
        const int32_t result = store.ReadAnalysis();
        std::string name;
        (void)store.ReadSceneName(name);
        if (result != rud::kAnalysisRead && result != rud::kAnalysisNoCameras &&
            result != rud::kAnalysisDuplicateCameras && result != rud::kAnalysisUnreadable)
            return {"ReadAnalysis returned " + std::to_string(result)};
        return {};
    }

private:
    const SeedFiles& seeds_;
};

} // namespace

std::unique_ptr<FuzzTarget> MakeAnalysisTarget(const SeedFiles& seeds) { return std::make_unique<AnalysisTarget>(seeds); }

} // namespace rudfuzz
