// WriteTaskJson on a store filled from a fuzzed analysis and the artist's choices; the task file
// and the request body must both parse again.
#include "analysis/RUDRenderingDataMgr.h"
#include "core/ClientInfo.h"
#include "core/MessageBoxes.h"
#include "core/TextConversions.h"
#include "fuzz/FuzzRun.h"
#include "fuzz/FuzzTarget.h"
#include "submit/TaskJson.h"

#include <json/reader.h>
#include <json/value.h>
#include <windows.h>

#include <fstream>
#include <iterator>

namespace rudfuzz {
namespace {

// The choices of the main dialog, as numbers so that a finding keeps them.
enum Choice : size_t { kRenderable, kMode, kDistributed, kChannels, kScaleIndex, kCorona, kChoiceCount };

bool ParsesAsObject(const std::string& text) {
    Json::Value root;
    Json::Reader reader;
    try {
        return reader.parse(text, root) && root.isObject();
    } catch (...) {
        return false;
    }
}

class TaskFileTarget : public FuzzTarget {
public:
    explicit TaskFileTarget(const SeedFiles& seeds) : seeds_(seeds) {
        wchar_t temp[MAX_PATH] = {};
        ::GetTempPathW(MAX_PATH, temp);
        folder_ = std::wstring(temp) + L"rud_fuzz_task_" + std::to_wstring(::GetCurrentProcessId());
        ::CreateDirectoryW(folder_.c_str(), nullptr);
        rud::SetMessageBoxHandler([](HWND, const std::wstring&, const std::wstring&, UINT, WORD) { return IDOK; });
    }
    ~TaskFileTarget() override {
        rud::SetMessageBoxHandler(nullptr);
        ::RemoveDirectoryW(folder_.c_str());
    }
    const char* Name() const override { return "taskfile"; }

    FuzzCase Make(FuzzRandom& random) const override {
        FuzzCase input;
        input.parts.push_back({"json", MakeAnalysisBytes(seeds_, random)});
        input.numbers.resize(kChoiceCount);
        input.numbers[kRenderable] = random.OneIn(6) ? 0 : random.Next();
        static const uint64_t kModes[] = {1, 10, 64, 1010, 3, 0, 0xFFFFFFFFull};
        input.numbers[kMode] = random.Pick(kModes);
        input.numbers[kDistributed] = 2 + random.Below(9);
        input.numbers[kChannels] = random.Next();
        input.numbers[kScaleIndex] = random.Below(5);  // 4 stands for "nothing selected"
        input.numbers[kCorona] = random.Below(2);
        input.notes = "renderable mask, mode, distributed count, channel bits, image scale, corona: ";
        for (uint64_t number : input.numbers) input.notes += std::to_string(number) + " ";
        input.notes += "\n";
        return input;
    }

    CaseOutcome Run(const FuzzCase& input) override {
        rud::RUDRenderingDataMgr store;
        store.SetAnalysisText(AnalysisWideText(input.parts[0].bytes));
        (void)store.ReadAnalysis();
        std::string sceneName;
        (void)store.ReadSceneName(sceneName);

        const std::vector<uint64_t>& n = input.numbers;
        size_t bit = 0;
        for (auto& entry : store.cameras) entry.second.renderable = (n[kRenderable] >> (bit++ % 64)) & 1;
        store.SetRenderModeCode(static_cast<int32_t>(n[kMode]));
        store.SetDistributedCount(static_cast<int32_t>(n[kDistributed]));
        static const char* const kModeNames[] = {"", "base", "block", "dist", "dist_pro"};
        store.renderModeName = kModeNames[n[kChannels] % 5];
        store.colorChannel = n[kChannels] & 8;
        store.aoChannel = n[kChannels] & 16;
        store.mtlChannel = n[kChannels] & 32;
        store.giChannel = n[kChannels] & 64;
        store.psdChannel = n[kChannels] & 128;
        store.useCorona = n[kCorona] != 0;

        rud::ClientInfo info;
        info.jsonDir = folder_;
        info.scenePath = "C:/Projects/Scene_\xE5\x9C\xBA\xE6\x99\xAF.max";
        info.compressPath = "C:/cache/compress/Scene.7z";
        static const char* const kScales[] = {"100%", "50%", "33%", "25%"};
        info.imageScaleIndex = n[kScaleIndex] == 4 ? -1 : static_cast<int32_t>(n[kScaleIndex]);
        info.imageScaleText = kScales[n[kScaleIndex] % 4];

        std::string body;
        const bool written = rud::WriteTaskJson(store, nullptr, info, L"FUZZ-TASK", body);
        const std::wstring path = folder_ + L"/FUZZ-TASK.json";
        const std::string task = ReadFileBytes(path);
        ::DeleteFileW(path.c_str());
        if (!written) {
            // Only an analysis that is no JSON object may end without a task file.
            if (ParsesAsObject(rud::WideToUtf8(store.analysisText))) return {"no task file for a readable analysis"};
            return {};
        }
        if (!ParsesAsObject(task)) return {"the task file does not parse"};
        if (!ParsesAsObject(body)) return {"the request body does not parse"};
        return {};
    }

private:
    const SeedFiles& seeds_;
    std::wstring folder_;
};

} // namespace

std::unique_ptr<FuzzTarget> MakeTaskFileTarget(const SeedFiles& seeds) { return std::make_unique<TaskFileTarget>(seeds); }

} // namespace rudfuzz
