// Seeds in, findings out: the files a run reads and leaves.
#include "fuzz/FuzzRun.h"

#include <windows.h>

#include <algorithm>

namespace rudfuzz {
namespace {

void WriteFileBytes(const std::wstring& path, const std::string& bytes) {
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    (void)::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    ::CloseHandle(file);
}

// Every file of a folder, in name order (the order must not depend on the file system).
std::vector<std::string> FolderFiles(const std::wstring& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found{};
    HANDLE search = ::FindFirstFileW((folder + L"/*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(found.cFileName);
        } while (::FindNextFileW(search, &found));
        ::FindClose(search);
    }
    std::sort(names.begin(), names.end());
    std::vector<std::string> files;
    for (const std::wstring& name : names) files.push_back(ReadFileBytes(folder + L"/" + name));
    return files;
}

std::wstring Widen(const std::string& text) { return std::wstring(text.begin(), text.end()); }

} // namespace

std::string ReadFileBytes(const std::wstring& path) {
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::string();
    std::string bytes;
    char chunk[65536];
    DWORD read = 0;
    while (::ReadFile(file, chunk, sizeof chunk, &read, nullptr) && read > 0) bytes.append(chunk, read);
    ::CloseHandle(file);
    return bytes;
}

SeedFiles LoadSeeds(const std::wstring& sourceFolder) {
    SeedFiles seeds;
    seeds.analyses = FolderFiles(sourceFolder + L"/samples/analyses");
    seeds.replies = FolderFiles(sourceFolder + L"/fuzz/seeds/replies");
    seeds.settings = FolderFiles(sourceFolder + L"/fuzz/seeds/settings");
    seeds.customBins = FolderFiles(sourceFolder + L"/fuzz/seeds/custombin");
    seeds.records = FolderFiles(sourceFolder + L"/fuzz/seeds/records");
    return seeds;
}

FuzzCase MakeCase(const FuzzTarget& target, uint64_t seed, uint64_t index) {
    FuzzRandom random(CaseSeed(seed, target.Name(), index));
    return target.Make(random);
}

std::wstring SaveFinding(const RunOptions& options, const std::string& target, uint64_t index, const FuzzCase& input,
                         const std::string& kind, const std::string& detail) {
    ::CreateDirectoryW(options.findingsFolder.c_str(), nullptr);
    const std::string name = target + "-seed" + std::to_string(options.seed) + "-case" + std::to_string(index) + "-" + kind;
    const std::wstring base = options.findingsFolder + L"/" + Widen(name);
    for (const CasePart& part : input.parts) WriteFileBytes(base + L"." + Widen(part.suffix), part.bytes);
    std::string note = kind + ": " + detail + "\n" + input.notes;
    note += "again: rud_fuzz --target " + target + " --seed " + std::to_string(options.seed) + " --case " +
            std::to_string(index) + " --cases 1\n";
    WriteFileBytes(base + L".txt", note);
    return base;
}

} // namespace rudfuzz
