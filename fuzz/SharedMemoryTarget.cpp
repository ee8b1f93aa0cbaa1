// ReadClientSharedMemory over the two records, published by the fuzzer the way the desktop
// client publishes them: named mappings of any size, with or without an ending zero.
#include "analysis/RUDRenderingDataMgr.h"
#include "core/ClientInfo.h"
#include "core/TextConversions.h"
#include "core/WinHandles.h"
#include "fuzz/ByteMutations.h"
#include "fuzz/FuzzTarget.h"

#include <windows.h>

#include <cstring>

namespace rudfuzz {
namespace {

constexpr size_t kRecordText = 4095;  // the text a record may hold before its ending zero

// Mapping sizes around the record limit and the page size.
const uint64_t kSizes[] = {0 /* the text's own length */, 1 /* the text and its zero */, 4095, 4096, 4097, 8192, 65536};

struct Record {
    const wchar_t* name;
    const char* suffix;
};
const Record kRecords[] = {{L"KELVANTA_USERNAME_DATA", "user"}, {L"KELVANTA_PLUGIN_SAVE_PATH", "save"}};

// The text a reader finds in a mapping of `size` bytes holding `bytes`: up to the first zero, at
// most 4095 bytes. Pages past the end of the bytes are zero.
std::string ExpectedText(const std::string& bytes, size_t size) {
    std::string text = bytes.substr(0, std::min(bytes.size(), size));
    text = text.substr(0, std::min(text.find('\0'), kRecordText));
    return text;
}

size_t MappingSize(const std::string& bytes, uint64_t choice) {
    if (choice == 0) return std::max<size_t>(bytes.size(), 1);
    if (choice == 1) return bytes.size() + 1;
    return static_cast<size_t>(choice);
}

class SharedMemoryTarget : public FuzzTarget {
public:
    explicit SharedMemoryTarget(const SeedFiles& seeds) : seeds_(seeds) {}
    const char* Name() const override { return "sharedmemory"; }

    FuzzCase Make(FuzzRandom& random) const override {
        FuzzCase input;
        // Both records most of the time; now and then only the user name, or neither.
        const size_t present = random.OneIn(8) ? random.Below(2) : 2;
        for (size_t i = 0; i < present; ++i) {
            std::string text = random.Pick(seeds_.records);
            if (!random.OneIn(5)) text = MutateBytes(text, random, seeds_.records, 4, 70000);
            if (random.OneIn(6)) text.assign(random.Length(4100, 70000), static_cast<char>('A' + random.Below(26)));
            input.parts.push_back({kRecords[i].suffix, text});
            input.numbers.push_back(kSizes[random.Below(sizeof kSizes / sizeof kSizes[0])]);
            input.notes += std::string(kRecords[i].suffix) + " mapping: " +
                           std::to_string(MappingSize(text, input.numbers.back())) + " bytes\n";
        }
        return input;
    }

    CaseOutcome Run(const FuzzCase& input) override {
        std::vector<rud::UniqueHandle> mappings;
        std::string expected[2];
        for (size_t i = 0; i < input.parts.size(); ++i) {
            const std::string& bytes = input.parts[i].bytes;
            const size_t size = MappingSize(bytes, input.numbers[i]);
            rud::UniqueHandle mapping(::CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                                           static_cast<DWORD>(size), kRecords[i].name));
            if (!mapping) return {"cannot create the mapping"};
            if (::GetLastError() == ERROR_ALREADY_EXISTS) return {"another program holds the record's mapping"};
            void* view = ::MapViewOfFile(mapping.get(), FILE_MAP_WRITE, 0, 0, size);
            if (!view) return {"cannot map the record"};
            std::memcpy(view, bytes.data(), std::min(bytes.size(), size));
            ::UnmapViewOfFile(view);
            expected[i] = ExpectedText(bytes, size);
            mappings.push_back(std::move(mapping));
        }

        rud::ClientUserInfo user;
        rud::ReadClientSharedMemory(store_, user);

        const size_t present = input.parts.size();
        if (user.valid != (present == 2)) return {"valid is " + std::string(user.valid ? "true" : "false")};
        if (present >= 1 && user.userName != rud::Utf8ToWide(expected[0])) return {"userName is not the record's text"};
        if (present == 2 && user.savePathUtf8 != expected[1]) return {"savePathUtf8 is not the record's text"};
        if (present < 2 && !user.savePathUtf8.empty()) return {"savePathUtf8 set without its record"};
        return {};
    }

private:
    const SeedFiles& seeds_;
    rud::RUDRenderingDataMgr store_;
};

} // namespace

std::unique_ptr<FuzzTarget> MakeSharedMemoryTarget(const SeedFiles& seeds) {
    return std::make_unique<SharedMemoryTarget>(seeds);
}

} // namespace rudfuzz
