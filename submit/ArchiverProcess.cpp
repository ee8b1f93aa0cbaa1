#include "submit/ArchiverProcess.h"

#include "core/WinHandles.h"
#include "submit/ArchiverProgress.h"

#include <vector>

namespace rud {
namespace {

constexpr DWORD kPollMs = 50;
// The code a cancelled 7-Zip ends with; nothing reads it but a debugger.
constexpr UINT kCancelledExitCode = 255;

// Only the two handles meant for the child are inherited, not whatever else the host has left
// inheritable.
class InheritedHandleList {
public:
    InheritedHandleList(HANDLE first, HANDLE second) : handles_{first, second} {
        SIZE_T size = 0;
        ::InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
        buffer_.resize(size);
        auto* list = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(buffer_.data());
        if (!::InitializeProcThreadAttributeList(list, 1, 0, &size)) return;
        initialized_ = true;
        if (::UpdateProcThreadAttribute(list, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, handles_, sizeof(handles_),
                                        nullptr, nullptr))
            list_ = list;
    }
    ~InheritedHandleList() {
        if (initialized_) ::DeleteProcThreadAttributeList(reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(buffer_.data()));
    }
    InheritedHandleList(const InheritedHandleList&) = delete;
    InheritedHandleList& operator=(const InheritedHandleList&) = delete;
    LPPROC_THREAD_ATTRIBUTE_LIST get() const { return list_; }

private:
    HANDLE handles_[2];
    std::vector<unsigned char> buffer_;
    bool initialized_ = false;
    LPPROC_THREAD_ATTRIBUTE_LIST list_ = nullptr;
};

// Reads whatever the pipe holds now, without blocking.
void DrainPipe(HANDLE pipe, ArchiverProgressParser& parser, const ArchiverWatch& watch) {
    char chunk[4096];
    for (;;) {
        DWORD available = 0;
        if (!::PeekNamedPipe(pipe, nullptr, 0, nullptr, &available, nullptr) || available == 0) return;
        DWORD read = 0;
        const DWORD wanted = available < sizeof(chunk) ? available : static_cast<DWORD>(sizeof(chunk));
        if (!::ReadFile(pipe, chunk, wanted, &read, nullptr) || read == 0) return;
        if (parser.Feed(chunk, read) && watch.onPercent) watch.onPercent(parser.Percent());
    }
}

// 7-Zip runs in a job that ends it when the job's last handle closes, ours: should 3ds Max go
// away while it packs (a crash, the plug-in unloaded), no orphan goes on writing into the cache.
// Without a job (refused by the system) 7-Zip runs as a plain child.
UniqueHandle KillOnCloseJob() {
    UniqueHandle job(::CreateJobObjectW(nullptr, nullptr));
    if (!job) return job;
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    if (!::SetInformationJobObject(job.get(), JobObjectExtendedLimitInformation, &limits, sizeof(limits)))
        job.reset();
    return job;
}

bool CancelRequested(const ArchiverWatch& watch) {
    return watch.cancelRequested && watch.cancelRequested->load();
}

} // namespace

ArchiverRunResult RunArchiverProcess(const std::wstring& commandLine, const ArchiverWatch& watch) {
    ArchiverRunResult result;
    SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    UniqueHandle readEnd, writeEnd;
    if (!::CreatePipe(readEnd.put(), writeEnd.put(), &inheritable, 0)) {
        result.startError = ::GetLastError();
        return result;
    }
    ::SetHandleInformation(readEnd.get(), HANDLE_FLAG_INHERIT, 0);
    // An empty standard input: 7-Zip never waits for a typed answer.
    UniqueHandle nothing(::CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inheritable,
                                       OPEN_EXISTING, 0, nullptr));
    if (!nothing) {
        result.startError = ::GetLastError();
        return result;
    }

    InheritedHandleList inherited(writeEnd.get(), nothing.get());
    STARTUPINFOEXW startup{};
    startup.StartupInfo.cb = sizeof(startup);
    startup.StartupInfo.dwFlags = STARTF_USESTDHANDLES;
    startup.StartupInfo.hStdInput = nothing.get();
    startup.StartupInfo.hStdOutput = writeEnd.get();
    startup.StartupInfo.hStdError = writeEnd.get();
    startup.lpAttributeList = inherited.get();
    DWORD flags = CREATE_NO_WINDOW | NORMAL_PRIORITY_CLASS | CREATE_SUSPENDED;
    if (startup.lpAttributeList) flags |= EXTENDED_STARTUPINFO_PRESENT;

    std::vector<wchar_t> buffer(commandLine.begin(), commandLine.end());
    buffer.push_back(L'\0');
    PROCESS_INFORMATION started{};
    if (!::CreateProcessW(nullptr, buffer.data(), nullptr, nullptr, TRUE, flags, nullptr, nullptr,
                          &startup.StartupInfo, &started)) {
        result.startError = ::GetLastError();
        return result;
    }
    UniqueHandle process(started.hProcess);
    UniqueHandle thread(started.hThread);
    // Placed in the job before it runs a single instruction, so nothing it starts escapes.
    const UniqueHandle job = KillOnCloseJob();
    if (job) (void)::AssignProcessToJobObject(job.get(), process.get());
    if (::ResumeThread(thread.get()) == static_cast<DWORD>(-1)) {
        result.startError = ::GetLastError();
        ::TerminateProcess(process.get(), kCancelledExitCode);
        return result;
    }
    // Our copies go, so that the pipe belongs to 7-Zip alone.
    writeEnd.reset();
    nothing.reset();

    ArchiverProgressParser parser;
    for (;;) {
        DrainPipe(readEnd.get(), parser, watch);
        if (CancelRequested(watch)) {
            ::TerminateProcess(process.get(), kCancelledExitCode);
            ::WaitForSingleObject(process.get(), INFINITE);
            result.end = ArchiverEnd::kCancelled;
            return result;
        }
        if (watch.onPoll) watch.onPoll();
        if (::WaitForSingleObject(process.get(), kPollMs) != WAIT_TIMEOUT) break;
    }
    DrainPipe(readEnd.get(), parser, watch);
    if (watch.onPoll) watch.onPoll();
    result.end = ArchiverEnd::kFinished;
    // An exit code that cannot be read counts as a failed run, never as a packed one.
    if (!::GetExitCodeProcess(process.get(), &result.exitCode)) result.exitCode = ~DWORD{0};
    return result;
}

} // namespace rud
