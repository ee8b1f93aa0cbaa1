// The five readers of outside text and what each must never do with any input.
#include "analysis/RUDRenderingDataMgr.h"
#include "analysis/Utf8Codec.h"
#include "core/ClientInfo.h"
#include "core/DataFolders.h"
#include "core/TextConversions.h"
#include "core/WinHandles.h"
#include "fuzz/Fuzz.h"
#include "submit/ClientLink.h"
#include "submit/TaskJson.h"
#include "tests/support/TestFiles.h"

#include <json/reader.h>
#include <json/value.h>
#include <windows.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <sstream>

namespace rudfuzz {
namespace {

// ---- analysis: ReadAnalysis and ReadSceneName over a store that already holds an analysis

// A fuzzed analysis as the script could leave it: JSON-aware most of the time, bytes otherwise.
std::string MakeAnalysisBytes(const SeedFiles& seeds, FuzzRandom& random) {
    const std::string& seed = random.Pick(seeds.analyses);
    if (random.OneIn(5)) return MutateBytes(seed, random, seeds.analyses);
    std::string text = MutateJson(seed, random, seeds.analyses);
    if (random.OneIn(4)) text = MutateJson(text, random, seeds.analyses);  // odd values inside odd values
    return text;
}

// With the artist's previous analysis ("before.json") read first.
FuzzCase MakeAnalysis(const SeedFiles& seeds, FuzzRandom& random) {
    return FuzzCase{{{"json", MakeAnalysisBytes(seeds, random)}, {"before.json", random.Pick(seeds.analyses)}}};
}

// What an analysis leaves in the store, as text, to compare before and after.
std::string StoreState(const rud::RUDRenderingDataMgr& store) {
    std::ostringstream state;
    for (const auto& [key, camera] : store.cameras)
        state << rud::EncodeUtf8(key) << ' ' << camera.width << 'x' << camera.height << ' ' << camera.startFrame << ' '
              << rud::EncodeUtf8(camera.imageFormat + L"|" + camera.displayName) << camera.renderable
              << camera.isPanorama << '\n';
    for (const auto* lines : {&store.errorLines, &store.warningLines})
        for (const std::wstring& line : *lines) state << rud::EncodeUtf8(line) << '\n';
    const rud::CoronaLimits& limits = store.coronaLimits;
    state << store.useCorona << limits.coronaPassLimit << ' ' << limits.coronaTimeLimitHours << ' '
          << limits.coronaTimeLimitSeconds << ' ' << limits.coronaNoiseLevelLimit << ' ' << store.isRegionText << ' '
          << store.gammaOut;
    return state.str();
}

std::string RunAnalysis(const FuzzCase& input) {
    rud::RUDRenderingDataMgr store;
    store.SetAnalysisText(rud::DecodeUtf8(input.parts[1].bytes));
    (void)store.ReadAnalysis();
    const std::string before = StoreState(store);
    store.SetAnalysisText(rud::DecodeUtf8(input.parts[0].bytes));
    const int32_t result = store.ReadAnalysis();
    std::string name;
    (void)store.ReadSceneName(name);
    if (result == rud::kAnalysisUnreadable && StoreState(store) != before)
        return "an unreadable analysis changed the store";
    if (store.cameras.count(std::wstring())) return "a camera with an empty name";
    return {};
}

// ---- reply: what the client link does with the bytes of one receive

constexpr size_t kReceiveLimit = 2048;  // one receive reads at most this much
constexpr int32_t kAccepted = 10001;

FuzzCase MakeReply(const SeedFiles& seeds, FuzzRandom& random) {
    const std::string& seed = random.Pick(seeds.replies);
    std::string reply;
    const size_t brace = seed.find('{');
    if (brace == std::string::npos || random.OneIn(4)) {
        reply = MutateBytes(seed, random, seeds.replies, 4, kReceiveLimit);
    } else {
        std::string head = seed.substr(0, brace);
        if (random.OneIn(6)) head = MutateBytes(head, random, seeds.replies, 2, 512);
        reply = head + MutateJson(seed.substr(brace), random, seeds.replies, 1500);
    }
    reply.resize(std::min(reply.size(), kReceiveLimit));
    return FuzzCase{{{"reply", reply}}};
}

// Keeps the captions of what a reply tells the artist.
struct ToldCaptions final : rud::ISubmitReport {
    std::vector<rud::MessageCaption> told;
    void Stage(int32_t) override {}
    void Tell(const std::wstring&, rud::MessageCaption caption) override { told.push_back(caption); }
    bool AskOkCancel(const std::wstring&) override { return false; }
    bool AskYesNo(const std::wstring&) override { return false; }
    void SceneNameShown(const std::wstring&) override {}
    void HandBack() override {}
    void Ended(rud::SubmitEnd) override {}
};

std::string RunReply(const FuzzCase& input) {
    ToldCaptions report;
    const int32_t code = rud::HandleReceivedReply(input.parts[0].bytes, report);
    const std::vector<rud::MessageCaption>& boxes = report.told;
    // Every reply ends in one message at most; only the acceptance comes without a caption.
    if (boxes.size() > 1) return "the reply showed " + std::to_string(boxes.size()) + " message boxes";
    const bool acceptance = boxes.size() == 1 && boxes[0] == rud::MessageCaption::kNone;
    if ((code == kAccepted) != acceptance)
        return "result " + std::to_string(code) + (acceptance ? " with" : " without") + " the acceptance box";
    return {};
}

// ---- settings: GetClientInformation over a fuzzed settings file and custom.bin

FuzzCase MakeSettings(const SeedFiles& seeds, FuzzRandom& random) {
    FuzzCase input;
    // The odd values (huge, signed, empty, repeated keys, lone surrogates, zero units) are in the
    // seeds; the byte mutations splice them into one another and drop and repeat lines.
    std::string ini = random.Pick(seeds.settings);
    if (!random.OneIn(4)) ini = MutateBytes(ini, random, seeds.settings, 4, 1 << 18);
    // Wine joins the odd last byte of a UTF-16 file with whatever its buffer held, so two reads of
    // one such file differ; the product hands the file to Windows as it is, so pad it whole.
    const std::string mark = ini.substr(0, 2);
    if ((mark == "\xFF\xFE" || mark == "\xFE\xFF") && ini.size() % 2) ini.push_back('\0');
    input.parts.push_back({"ini", ini});
    if (!random.OneIn(5)) {  // otherwise there is no custom.bin
        std::string bin = random.Pick(seeds.customBins);
        if (!random.OneIn(4)) bin = MutateBytes(bin, random, seeds.customBins, 4, 1 << 18);
        input.parts.push_back({"bin", bin});
    }
    return input;
}

// The settings file's value as Windows reads it, cut to what a 2048-character buffer holds.
std::wstring SettingValue(const wchar_t* key) {
    std::vector<wchar_t> value(1 << 17, L'\0');
    ::GetPrivateProfileStringW(L"general", key, L"", value.data(), static_cast<DWORD>(value.size()),
                               rud::SettingsFilePath().c_str());
    return std::wstring(value.data()).substr(0, 2047);
}

// The port rule: the value's leading decimal number (blanks and a sign allowed), 0 without one,
// the nearest 32-bit limit beyond them.
int32_t ExpectedPort(const std::wstring& text) {
    size_t at = text.find_first_not_of(L" \t\n\v\f\r");
    if (at == std::wstring::npos) return 0;
    const bool negative = text[at] == L'-';
    if (text[at] == L'-' || text[at] == L'+') ++at;
    int64_t value = 0;
    for (; at < text.size() && text[at] >= L'0' && text[at] <= L'9'; ++at)
        value = std::min<int64_t>(value * 10 + (text[at] - L'0'), int64_t(INT_MAX) + 1);
    if (negative) return static_cast<int32_t>(-value);
    return static_cast<int32_t>(std::min<int64_t>(value, INT_MAX));
}

// The address rule: custom.bin's UTF-16 text up to its first zero unit overrides the settings
// file's "ip" when it holds a "=": the override is everything after the first one.
std::wstring ExpectedAddress(const FuzzCase& input) {
    if (const CasePart* bin = input.Part("bin")) {
        std::wstring text(bin->bytes.size() / 2, L'\0');
        std::memcpy(&text[0], bin->bytes.data(), text.size() * sizeof(wchar_t));
        text = text.substr(0, text.find(L'\0'));
        const size_t equals = text.find(L'=');
        if (equals != std::wstring::npos) return text.substr(equals + 1);
    }
    return SettingValue(L"ip");
}

std::string RunSettings(const FuzzCase& input) {
    const std::wstring customBin = rudtest::CustomBinPath();
    rudtest::WriteBytes(rud::SettingsFilePath(), input.parts[0].bytes);
    if (const CasePart* bin = input.Part("bin")) rudtest::WriteBytes(customBin, bin->bytes);
    else ::DeleteFileW(customBin.c_str());
    static rud::RUDRenderingDataMgr store;
    rud::ClientInfo info;
    if (!rud::GetClientInformation(store.dataLog, info)) return "GetClientInformation failed";
    if (info.ip != ExpectedAddress(input)) return "the address is not " + rud::EncodeUtf8(ExpectedAddress(input));
    const int32_t port = ExpectedPort(SettingValue(L"port"));
    if (info.port != port) return "port " + std::to_string(info.port) + " instead of " + std::to_string(port);
    if (info.lowerVersion != SettingValue(L"lowerversion")) return "lowerversion is not the file's";
    return {};
}

// ---- sharedmemory: ReadClientSharedMemory over the client's two records

constexpr size_t kRecordText = 4095;  // the text a record may hold before its ending zero
// Mapping sizes around the record limit and the page size; 0 is the text's own length, 1 adds its zero.
const uint64_t kSizes[] = {0, 1, 4095, 4096, 4097, 8192, 65536};
const struct {
    const wchar_t* name;
    const char* suffix;
} kRecords[] = {{L"KELVANTA_USERNAME_DATA", "user"}, {L"KELVANTA_PLUGIN_SAVE_PATH", "save"}};

size_t MappingSize(const std::string& bytes, uint64_t choice) {
    if (choice == 0) return std::max<size_t>(bytes.size(), 1);
    if (choice == 1) return bytes.size() + 1;
    return static_cast<size_t>(choice);
}

FuzzCase MakeSharedMemory(const SeedFiles& seeds, FuzzRandom& random) {
    FuzzCase input;
    const size_t present = random.OneIn(8) ? random.Below(2) : 2;  // now and then one record, or none
    for (size_t i = 0; i < present; ++i) {
        std::string text = random.Pick(seeds.records);
        if (!random.OneIn(5)) text = MutateBytes(text, random, seeds.records, 4, 70000);
        if (random.OneIn(6)) text.assign(random.Length(4100, 70000), static_cast<char>('A' + random.Below(26)));
        input.parts.push_back({kRecords[i].suffix, text});
        input.numbers.push_back(kSizes[random.Below(std::size(kSizes))]);
        input.notes += std::string(kRecords[i].suffix) + " mapping: " +
                       std::to_string(MappingSize(text, input.numbers.back())) + " bytes\n";
    }
    return input;
}

std::string RunSharedMemory(const FuzzCase& input) {
    std::vector<rud::UniqueHandle> mappings;
    std::string expected[2];
    for (size_t i = 0; i < input.parts.size(); ++i) {
        const std::string& bytes = input.parts[i].bytes;
        const size_t size = MappingSize(bytes, input.numbers[i]);
        rud::UniqueHandle mapping(::CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                                       static_cast<DWORD>(size), kRecords[i].name));
        if (!mapping) return "cannot create the mapping";
        if (::GetLastError() == ERROR_ALREADY_EXISTS) return "another program holds the record's mapping";
        void* view = ::MapViewOfFile(mapping.get(), FILE_MAP_WRITE, 0, 0, size);
        if (!view) return "cannot map the record";
        std::memcpy(view, bytes.data(), std::min(bytes.size(), size));
        ::UnmapViewOfFile(view);
        // What a reader finds: up to the first zero (pages past the bytes are zero), at most 4095 bytes.
        expected[i] = bytes.substr(0, std::min(bytes.size(), size));
        expected[i] = expected[i].substr(0, std::min(expected[i].find('\0'), kRecordText));
        mappings.push_back(std::move(mapping));
    }
    rud::ClientUserInfo user;
    rud::ReadClientSharedMemory(user);
    const size_t present = input.parts.size();
    if (user.valid != (present == 2)) return "valid is " + std::string(user.valid ? "true" : "false");
    if (present >= 1 && user.userName != rud::Utf8ToWide(expected[0])) return "userName is not the record's text";
    if (present == 2 && (user.savePathUtf8 != expected[1] || user.savePath != rud::Utf8ToWide(expected[1])))
        return "the save path is not the record's text";
    if (present < 2 && !(user.savePathUtf8.empty() && user.savePath.empty())) return "a save path without its record";
    return {};
}

// ---- taskfile: WriteTaskJson on a store filled from a fuzzed analysis and the artist's choices

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

FuzzCase MakeTaskFile(const SeedFiles& seeds, FuzzRandom& random) {
    FuzzCase input;
    input.parts.push_back({"json", MakeAnalysisBytes(seeds, random)});
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

std::string RunTaskFile(const FuzzCase& input) {
    rud::RUDRenderingDataMgr store;
    store.SetAnalysisText(rud::DecodeUtf8(input.parts[0].bytes));
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
    info.jsonDir = rud::DataFolder() + L"/json";
    info.scenePath = "C:/Projects/Scene_\xE5\x9C\xBA\xE6\x99\xAF.max";
    info.compressPath = "C:/cache/compress/Scene.7z";
    static const char* const kScales[] = {"100%", "50%", "33%", "25%"};
    info.imageScaleIndex = n[kScaleIndex] == 4 ? -1 : static_cast<int32_t>(n[kScaleIndex]);
    info.imageScaleText = kScales[n[kScaleIndex] % 4];

    std::string body;
    const std::wstring path = info.jsonDir + L"/FUZZ-TASK.json";
    const bool written = rud::WriteTaskJson(store.Analysis(), store.dataLog, false, info, L"FUZZ-TASK", body);
    const std::string task = rudtest::ReadBytes(path);
    ::DeleteFileW(path.c_str());
    if (!written) {
        // Only an analysis that is no JSON object may end without a task file.
        if (ParsesAsObject(rud::WideToUtf8(store.analysisText))) return "no task file for a readable analysis";
        return {};
    }
    if (!ParsesAsObject(task)) return "the task file does not parse";
    if (!ParsesAsObject(body)) return "the request body does not parse";
    return {};
}

} // namespace

const std::vector<Target>& Targets() {
    static const std::vector<Target> targets = {
        {"analysis", &MakeAnalysis, &RunAnalysis},
        {"reply", &MakeReply, &RunReply},
        {"settings", &MakeSettings, &RunSettings},
        {"sharedmemory", &MakeSharedMemory, &RunSharedMemory},
        {"taskfile", &MakeTaskFile, &RunTaskFile},
    };
    return targets;
}

} // namespace rudfuzz
