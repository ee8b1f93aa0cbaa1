// The host's own operations (saves, scripts, autobackups) run one at a time on its main thread.
// 3ds Max does not expect one to start while another is under way: a plug-in that gets its
// save or script run from inside the message loop of another operation's progress bar would
// find the scene half written. The stand-in ends the run there, as the real host might corrupt
// the scene or crash.
#include "../host/MaxStandin.h"

#include <atomic>
#include <string>

namespace {

std::atomic<int> runningOperations{0};

void EndRunNested(const char* function) {
    const std::string line = std::string("HOST-NESTED ") + (function ? function : "?") + "\n";
    HANDLE out = ::GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD written = 0;
    if (out && out != INVALID_HANDLE_VALUE)
        ::WriteFile(out, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    ::TerminateProcess(::GetCurrentProcess(), maxstandin::kHostNestedExitCode);
}

} // namespace

namespace maxstandin {

void BeginHostOperation(const char* function) {
    if (runningOperations.fetch_add(1) != 0) EndRunNested(function);
}

void EndHostOperation() { runningOperations.fetch_sub(1); }

bool HostOperationRunning() { return runningOperations.load() != 0; }

} // namespace maxstandin
