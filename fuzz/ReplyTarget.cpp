// The client link's handling of the bytes one receive gave, with message boxes recorded.
#include "core/MessageBoxes.h"
#include "fuzz/ByteMutations.h"
#include "fuzz/FuzzTarget.h"
#include "fuzz/JsonMutations.h"
#include "submit/ClientLink.h"

namespace rudfuzz {
namespace {

constexpr size_t kReceiveLimit = 2048;  // one receive reads at most this much

class ReplyTarget : public FuzzTarget {
public:
    explicit ReplyTarget(const SeedFiles& seeds) : seeds_(seeds) {
        rud::SetMessageBoxHandler([this](HWND, const std::wstring&, const std::wstring&, UINT, WORD) {
            ++boxes_;
            return IDOK;
        });
    }
    ~ReplyTarget() override { rud::SetMessageBoxHandler(nullptr); }
    const char* Name() const override { return "reply"; }

    FuzzCase Make(FuzzRandom& random) const override {
        const std::string& seed = random.Pick(seeds_.replies);
        std::string reply;
        const size_t brace = seed.find('{');
        if (brace == std::string::npos || random.OneIn(4)) {
            reply = MutateBytes(seed, random, seeds_.replies, 4, kReceiveLimit);
        } else {
            std::string head = seed.substr(0, brace);
            if (random.OneIn(6)) head = MutateBytes(head, random, seeds_.replies, 2, 512);
            reply = head + MutateJson(seed.substr(brace), random, seeds_.replies, 1500);
        }
        if (reply.size() > kReceiveLimit) reply.resize(kReceiveLimit);
        FuzzCase input;
        input.parts.push_back({"reply", reply});
        return input;
    }

    CaseOutcome Run(const FuzzCase& input) override {
        boxes_ = 0;
        (void)rud::HandleReceivedReply(input.parts[0].bytes, nullptr);
        // Every reply ends in one message at most: the verdict, or what was wrong with the reply.
        if (boxes_ > 1) return {"the reply showed " + std::to_string(boxes_) + " message boxes"};
        return {};
    }

private:
    const SeedFiles& seeds_;
    int boxes_ = 0;
};

} // namespace

std::unique_ptr<FuzzTarget> MakeReplyTarget(const SeedFiles& seeds) { return std::make_unique<ReplyTarget>(seeds); }

} // namespace rudfuzz
