// GetClientInformation over a fuzzed settings file and custom.bin in the data folder. The
// supervisor keeps the folder's own two files and puts them back after the run.
#include "analysis/RUDRenderingDataMgr.h"
#include "core/ClientInfo.h"
#include "core/DataFolders.h"
#include "fuzz/ByteMutations.h"
#include "fuzz/FuzzTarget.h"

#include <windows.h>

namespace rudfuzz {
namespace {

std::string Utf16(const std::wstring& text) {
    return std::string(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
}

// Line-wise changes of an INI text: values made long, huge, negative or non-ASCII; lines
// dropped or repeated; the section header broken.
std::string MutateIniLines(const std::string& ini, FuzzRandom& random) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = ini.find('\n', start)) != std::string::npos; start = end + 1) lines.push_back(ini.substr(start, end - start + 1));
    if (start < ini.size()) lines.push_back(ini.substr(start));
    if (lines.empty()) lines.push_back("[general]\r\n");
    static const char* const kValues[] = {
        "", "0", "-1", "80abc", "+8080", " 8080", "0x50", "2147483647", "2147483648", "-2147483649",
        "99999999999999999999999999", "65536", "1.3.7", "1.3.8", "9.9.9", "0.0.1", "\xE4\xB8\xAD\xE6\x96\x87",
        "127.0.0.1", "::1", "\"quoted\"", "=", "==", ";comment", "\xFF\xFE", "a\tb",
    };
    static const char* const kKeys[] = {"ip", "port", "lowerversion", "REMBER_SETTING", "", "[general]", "general"};
    for (size_t steps = 1 + random.Below(3); steps > 0; --steps) {
        const size_t at = random.Below(lines.size());
        switch (random.Below(6)) {
        case 0: case 1: {
            std::string value = random.OneIn(4) ? std::string(random.Length(3000, 70000), random.OneIn(2) ? '9' : 'x')
                                                : std::string(random.Pick(kValues));
            lines.insert(lines.begin() + at, std::string(random.Pick(kKeys)) + "=" + value + "\r\n");
            break;
        }
        case 2: lines.erase(lines.begin() + at); if (lines.empty()) lines.push_back(""); break;
        case 3: lines.insert(lines.begin() + at, lines[at]); break;
        case 4: lines.insert(lines.begin() + at, random.OneIn(2) ? "[general]\r\n" : "[gen\r\n"); break;
        default: lines[at] = std::string(random.Pick(kKeys)) + lines[at]; break;
        }
    }
    std::string out;
    for (const std::string& line : lines) out += line;
    return out;
}

// Changes of a UTF-16 key=value text in whole code units: more "=", a lone surrogate, a zero
// unit, a long value, a byte-order mark in the middle.
std::string MutateUtf16(const std::string& bytes, FuzzRandom& random) {
    std::wstring text(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / 2);
    static const wchar_t kUnits[] = {L'=', 0xD800, 0xDC00, 0, 0xFEFF, L'\r', L'\n', 0xFFFF, L'\x4E2D', L' '};
    for (size_t steps = 1 + random.Below(3); steps > 0; --steps) {
        const size_t at = random.Below(text.size() + 1);
        if (random.OneIn(5)) text.insert(at, std::wstring(random.Length(300, 40000), random.OneIn(2) ? L'1' : L'='));
        else text.insert(at, 1, random.Pick(kUnits));
    }
    std::string out = Utf16(text);
    if (random.OneIn(3)) out.push_back(static_cast<char>(random.Next()));  // an odd length
    return out;
}

// Every store reads the settings file for its log folder, so another program of the same Wine
// prefix (or Windows session) may hold it for a moment: a sharing violation is waited out.
bool WriteFileBytes(const std::wstring& path, const std::string& bytes) {
    HANDLE file = INVALID_HANDLE_VALUE;
    for (int attempt = 0; attempt < 100; ++attempt) {
        file = ::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                             nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE || ::GetLastError() != ERROR_SHARING_VIOLATION) break;
        ::Sleep(10);
    }
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const BOOL ok = ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    ::CloseHandle(file);
    return ok && written == bytes.size();
}

class SettingsTarget : public FuzzTarget {
public:
    explicit SettingsTarget(const SeedFiles& seeds) : seeds_(seeds) {}
    const char* Name() const override { return "settings"; }

    FuzzCase Make(FuzzRandom& random) const override {
        FuzzCase input;
        std::string ini = random.Pick(seeds_.settings);
        if (!random.OneIn(4)) ini = MutateIniLines(ini, random);
        if (random.OneIn(3)) ini = MutateBytes(ini, random, seeds_.settings, 3, 1 << 18);
        input.parts.push_back({"ini", ini});
        if (!random.OneIn(5)) {  // otherwise there is no custom.bin
            std::string bin = random.Pick(seeds_.customBins);
            if (!random.OneIn(4)) bin = MutateUtf16(bin, random);
            if (random.OneIn(3)) bin = MutateBytes(bin, random, seeds_.customBins, 3, 1 << 18);
            input.parts.push_back({"bin", bin});
        }
        return input;
    }

    CaseOutcome Run(const FuzzCase& input) override {
        const std::wstring script = rud::DataFolder() + L"/script";
        if (!WriteFileBytes(script + L"/kiv_plugin.ini", input.parts[0].bytes)) return {"cannot write the settings file"};
        const std::wstring customBin = script + L"/custom.bin";
        if (const CasePart* bin = input.Part("bin")) {
            if (!WriteFileBytes(customBin, bin->bytes)) return {"cannot write custom.bin"};
        } else {
            ::DeleteFileW(customBin.c_str());
        }
        rud::ClientInfo info;
        if (!rud::GetClientInformation(store_, info)) return {"GetClientInformation failed"};
        return {};
    }

private:
    const SeedFiles& seeds_;
    rud::RUDRenderingDataMgr store_;
};

} // namespace

std::unique_ptr<FuzzTarget> MakeSettingsTarget(const SeedFiles& seeds) { return std::make_unique<SettingsTarget>(seeds); }

} // namespace rudfuzz
