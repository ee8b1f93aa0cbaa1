// Stand-in for 7-Zip's "7z.exe" in the plug-in's data folder, for runs under Wine: Debian's real
// 7-Zip (/usr/bin/7zz, or RUD_SEVENZIP) does the work, with the same switches and exit code.
//
// Why a Windows program and not a script named 7z.exe: Wine starts a Linux program from
// CreateProcessW but hands back no process handle that can be waited on, and the plug-in waits
// for 7-Zip to finish. So this program (which can be waited on) starts 7zz through bash, and
// bash leaves 7zz's exit code in a marker file that this program waits for.
//
// Arguments that are Windows paths (C:\..., C:/..., also after -o) are turned into Linux paths;
// others pass unchanged. Standard input is closed for 7zz, so it never waits for a typed password.
// Wine cannot hand a Windows pipe to a Linux program, so 7zz writes its output into a file
// beside the marker, and this program copies what arrives there to its own standard output as it
// comes: a caller reading 7-Zip's progress through a pipe sees it as from the real program.
//
// A real 7z.exe that is terminated stops packing at once. Terminating this program cannot run any
// of its code, so bash watches it: it is given this program's Linux process id and ends 7zz as
// soon as that process is gone (or a zombie), however it ended.
//
// Faults for the tests, chosen by the environment variable RUD_SEVENZIP_FAULT (the plug-in writes
// 7-Zip's command line itself, so the environment it passes on is the only way in):
//   no-archive     exit 0 at once without writing anything
//   fail-partial   pack, then cut the archive to half its size and exit 2, as a full disk does
//   slow:MS        pack while reporting progress over MS milliseconds, as a large scene on a
//                  slow disk does: 7zz's own output is held back after its first percentage,
//                  then percentages of 10 to 90 follow at even steps, then the rest
//   exit1-empty    pack a file that cannot be read in place of the scene: 7zz warns, writes an
//                  archive holding nothing and exits 1 (a scene locked by another program)
//   old-no-bsp1    refuse the -bsp switch with exit 7, as 7-Zip releases before it do
//
// While it packs, the files to pack are held open as 7-Zip holds them (see HeldInputs).
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <cwctype>
#include <string>
#include <vector>

namespace {

using UnixFileName = char* (CDECL*)(const wchar_t*);

std::wstring FromUtf8(const std::string& text) {
    if (text.empty()) return std::wstring();
    int size = ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(size), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], size);
    return out;
}

bool IsWindowsPath(const std::wstring& arg) {
    return arg.size() >= 3 && std::iswalpha(arg[0]) && arg[1] == L':' && (arg[2] == L'\\' || arg[2] == L'/');
}

// The Linux path of a Windows path, through Wine's own mapping; empty outside Wine.
std::wstring UnixPath(const std::wstring& windowsPath) {
    static const auto convert = reinterpret_cast<UnixFileName>(
        ::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name"));
    if (!convert) return std::wstring();
    char* unix = convert(windowsPath.c_str());
    if (!unix) return std::wstring();
    std::wstring path = FromUtf8(unix);
    ::HeapFree(::GetProcessHeap(), 0, unix);
    return path;
}

// This program's process id as Linux knows it (Wine's process ids are its own): /proc/self is
// opened by this very process.
long UnixProcessId() {
    long pid = 0;
    if (FILE* stat = _wfopen(L"Z:\\proc\\self\\stat", L"r")) {
        if (std::fscanf(stat, "%ld", &pid) != 1) pid = 0;
        std::fclose(stat);
    }
    return pid;
}

// One argument quoted for a Windows command line (backslashes before a quote doubled).
std::wstring Quote(const std::wstring& arg) {
    std::wstring quoted = L"\"";
    size_t backslashes = 0;
    for (wchar_t c : arg) {
        if (c == L'\\') { ++backslashes; continue; }
        if (c == L'"') quoted.append(backslashes * 2 + 1, L'\\');
        else quoted.append(backslashes, L'\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(backslashes * 2, L'\\');
    return quoted + L"\"";
}

void WriteOut(const std::string& text) {
    DWORD written = 0;
    ::WriteFile(::GetStdHandle(STD_OUTPUT_HANDLE), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

// The whole output once 7zz has ended, with progress spread over `slowMs` after its first
// percentage (each status erased with backspaces, as 7-Zip redraws it).
void ForwardOutputSlowly(const wchar_t* marker, const std::wstring& output, DWORD slowMs) {
    while (::GetFileAttributesW(marker) == INVALID_FILE_ATTRIBUTES) ::Sleep(50);
    std::string text;
    if (FILE* file = _wfopen(output.c_str(), L"rb")) {
        char buffer[4096];
        size_t read = 0;
        while ((read = std::fread(buffer, 1, sizeof(buffer), file)) > 0) text.append(buffer, read);
        std::fclose(file);
    }
    ::DeleteFileW(output.c_str());
    const size_t split = text.find('%') == std::string::npos ? text.size() : text.find('%') + 1;
    WriteOut(text.substr(0, split));
    for (int percent = 10; percent <= 90; percent += 10) {
        ::Sleep(slowMs / 10);
        char status[32];
        std::snprintf(status, sizeof(status), "\b\b\b\b    \b\b\b\b%3d%%", percent);
        WriteOut(status);
    }
    ::Sleep(slowMs / 10);
    WriteOut(text.substr(split));
}

// Copies what 7zz writes into `output` to standard output until the marker says 7zz has ended;
// the marker appears only after 7zz's last write, so the read after seeing it takes the rest.
void ForwardOutputUntilMarker(const wchar_t* marker, const std::wstring& output) {
    const HANDLE out = ::GetStdHandle(STD_OUTPUT_HANDLE);
    HANDLE file = INVALID_HANDLE_VALUE;
    char buffer[4096];
    for (;;) {
        const bool ended = ::GetFileAttributesW(marker) != INVALID_FILE_ATTRIBUTES;
        if (file == INVALID_HANDLE_VALUE)
            file = ::CreateFileW(output.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                 nullptr, OPEN_EXISTING, 0, nullptr);
        DWORD read = 0, written = 0;
        while (file != INVALID_HANDLE_VALUE && ::ReadFile(file, buffer, sizeof(buffer), &read, nullptr) && read > 0)
            ::WriteFile(out, buffer, read, &written, nullptr);
        if (ended) break;
        ::Sleep(50);
    }
    if (file != INVALID_HANDLE_VALUE) ::CloseHandle(file);
    ::DeleteFileW(output.c_str());
}

struct Fault {
    enum Kind { kNone, kNoArchive, kFailPartial, kSlow, kExit1Empty, kOldNoBsp1 } kind = kNone;
    DWORD delayMs = 0;
};

Fault FaultFromEnvironment() {
    const wchar_t* value = _wgetenv(L"RUD_SEVENZIP_FAULT");
    const std::wstring text = value ? value : L"";
    Fault fault;
    if (text == L"no-archive") fault.kind = Fault::kNoArchive;
    else if (text == L"fail-partial") fault.kind = Fault::kFailPartial;
    else if (text == L"exit1-empty") fault.kind = Fault::kExit1Empty;
    else if (text == L"old-no-bsp1") fault.kind = Fault::kOldNoBsp1;
    else if (text.rfind(L"slow:", 0) == 0) {
        fault.kind = Fault::kSlow;
        fault.delayMs = static_cast<DWORD>(_wtoi(text.c_str() + 5));
    }
    return fault;
}

// The archive of an "a" command: its first argument that is not a switch.
std::wstring ArchiveArgument(wchar_t** args, int count) {
    for (int i = 2; i < count; ++i)
        if (args[i][0] != L'-') return args[i];
    return std::wstring();
}

// 7-Zip opens each file it packs for reading, lets others only read it meanwhile, and keeps it
// open while it reads: on Windows another program's save over the file fails with error 32 for
// that time. 7zz, a Linux program, holds no Windows share mode, so this program holds the files
// of an "a" command that way (its arguments after the archive that are not switches) until 7zz
// has ended.
class HeldInputs {
public:
    HeldInputs(wchar_t** args, int count) {
        bool archiveSeen = false;
        for (int i = 2; i < count; ++i) {
            if (args[i][0] == L'-') continue;
            if (!archiveSeen) {
                archiveSeen = true;
                continue;
            }
            const HANDLE file = ::CreateFileW(args[i], GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                              FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
            if (file != INVALID_HANDLE_VALUE) files_.push_back(file);
        }
    }
    ~HeldInputs() {
        for (const HANDLE file : files_) ::CloseHandle(file);
    }
    HeldInputs(const HeldInputs&) = delete;
    HeldInputs& operator=(const HeldInputs&) = delete;

private:
    std::vector<HANDLE> files_;
};

void CutToHalf(const std::wstring& path) {
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE | GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    LARGE_INTEGER size{};
    if (::GetFileSizeEx(file, &size)) {
        size.QuadPart /= 2;
        ::SetFilePointerEx(file, size, nullptr, FILE_BEGIN);
        ::SetEndOfFile(file);
    }
    ::CloseHandle(file);
}

// Runs Debian's 7zz with the arguments (paths made Linux paths), forwarding its output, and
// returns its exit code.
int RunSevenZip(wchar_t** args, int count, const Fault& fault) {
    wchar_t tempFolder[MAX_PATH] = {}, marker[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, tempFolder);
    ::GetTempFileNameW(tempFolder, L"7zs", 0, marker);
    ::DeleteFileW(marker);
    const std::wstring unixMarker = UnixPath(marker);
    if (unixMarker.empty()) {
        std::fprintf(stderr, "7z stand-in: this program only runs under Wine\n");
        return 2;
    }

    const long unixProcessId = UnixProcessId();
    if (unixProcessId <= 0) {
        std::fprintf(stderr, "7z stand-in: cannot find its own Linux process\n");
        return 2;
    }
    const wchar_t* sevenZipOverride = _wgetenv(L"RUD_SEVENZIP");
    const std::wstring sevenZip = sevenZipOverride && *sevenZipOverride ? sevenZipOverride : L"/usr/bin/7zz";
    // The marker is written only for a caller still waiting for it.
    std::wstring commandLine = L"Z:\\bin\\bash -c " +
        Quote(L"m=$1; s=$2; shift 2; \"$0\" \"$@\" </dev/null >\"$m.out\" 2>&1 & p=$!; "
              L"alive() { local t; read -r t < /proc/$s/stat || return 1; t=${t##*) }; [ \"${t%% *}\" != Z ]; } 2>/dev/null; "
              L"while kill -0 $p 2>/dev/null; do alive || { kill $p; wait $p; rm -f \"$m.out\"; exit; }; sleep 0.1; done; "
              L"wait $p; echo $? > \"$m.part\"; mv \"$m.part\" \"$m\"") + L" " +
        Quote(sevenZip) + L" " + Quote(unixMarker) + L" " + std::to_wstring(unixProcessId);
    for (int i = 1; i < count; ++i) {
        std::wstring arg = args[i];
        // The last argument of an "a" command is the file to pack.
        if (fault.kind == Fault::kExit1Empty && i == count - 1) arg += L".locked-by-another-program";
        if (IsWindowsPath(arg)) {
            const std::wstring unix = UnixPath(arg);
            if (!unix.empty()) arg = unix;
        } else if (arg.rfind(L"-o", 0) == 0 && IsWindowsPath(arg.substr(2))) {   // output folder switch
            const std::wstring unix = UnixPath(arg.substr(2));
            if (!unix.empty()) arg = L"-o" + unix;
        }
        commandLine += L" " + Quote(arg);
    }

    std::vector<wchar_t> buffer(commandLine.begin(), commandLine.end());
    buffer.push_back(L'\0');
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = ::GetStdHandle(STD_OUTPUT_HANDLE);
    startup.hStdError = ::GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION started{};
    if (!::CreateProcessW(nullptr, buffer.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &started)) {
        std::fprintf(stderr, "7z stand-in: cannot start bash (%lu)\n", ::GetLastError());
        return 2;
    }
    if (started.hProcess) ::CloseHandle(started.hProcess);
    if (started.hThread) ::CloseHandle(started.hThread);

    if (fault.kind == Fault::kSlow) ForwardOutputSlowly(marker, std::wstring(marker) + L".out", fault.delayMs);
    else ForwardOutputUntilMarker(marker, std::wstring(marker) + L".out");
    int exitCode = 2;
    if (FILE* file = _wfopen(marker, L"r")) {
        if (std::fscanf(file, "%d", &exitCode) != 1) exitCode = 2;
        std::fclose(file);
    }
    ::DeleteFileW(marker);
    return exitCode;
}

} // namespace

int main() {
    int count = 0;
    wchar_t** args = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (!args) return 2;
    const Fault fault = FaultFromEnvironment();
    if (fault.kind == Fault::kOldNoBsp1) {
        for (int i = 1; i < count; ++i) {
            if (std::wcsncmp(args[i], L"-bsp", 4) != 0) continue;
            std::fprintf(stderr, "\nCommand Line Error:\nUnsupported switch:\n%ls\n", args[i]);
            ::LocalFree(args);
            return 7;
        }
    }
    int exitCode = 0;
    if (fault.kind != Fault::kNoArchive) {
        const HeldInputs held(args, count);
        exitCode = RunSevenZip(args, count, fault);
    }
    if (fault.kind == Fault::kFailPartial) {
        CutToHalf(ArchiveArgument(args, count));
        exitCode = 2;
    }
    ::LocalFree(args);
    return exitCode;
}
