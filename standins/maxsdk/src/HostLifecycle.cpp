// What the host remembers about the plug-ins' hold on it over its lifetime: whether the artist
// already has 3ds Max back (the hand-back), and who wants a say before 3ds Max exits.
#include "../host/MaxStandin.h"

#include <algorithm>
#include <atomic>
#include <mutex>
#include <string>
#include <vector>

namespace {

std::atomic<bool> handedBack{false};

std::mutex exitLock;
std::vector<ExitMAXCallback*>& ExitCallbacks() {
    static std::vector<ExitMAXCallback*>* callbacks = new std::vector<ExitMAXCallback*>;
    return *callbacks;
}

// One whole line per write, so that it does not mix with the host program's own lines.
void WriteLine(const std::string& text) {
    const std::string line = text + "\n";
    HANDLE out = ::GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD written = 0;
    if (out && out != INVALID_HANDLE_VALUE)
        ::WriteFile(out, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}

} // namespace

namespace maxstandin {

void MarkHandback(bool handedBackNow) { handedBack = handedBackNow; }

bool HandedBack() { return handedBack.load(); }

void NoteHostCall(const char* function) {
    if (handedBack.load()) WriteLine(std::string("HOST-CALL-AFTER-HANDBACK ") + (function ? function : "?"));
}

void AddExitCallback(ExitMAXCallback* callback) {
    if (!callback) return;
    size_t count = 0;
    {
        std::lock_guard<std::mutex> guard(exitLock);
        auto& all = ExitCallbacks();
        if (std::find(all.begin(), all.end(), callback) == all.end()) all.push_back(callback);
        count = all.size();
    }
    WriteLine("EXIT-CALLBACK REGISTERED " + std::to_string(count));
}

void RemoveExitCallback(ExitMAXCallback* callback) {
    size_t count = 0;
    bool found = false;
    {
        std::lock_guard<std::mutex> guard(exitLock);
        auto& all = ExitCallbacks();
        auto it = std::find(all.begin(), all.end(), callback);
        found = it != all.end();
        if (found) all.erase(it);
        count = all.size();
    }
    WriteLine(found ? "EXIT-CALLBACK UNREGISTERED " + std::to_string(count)
                    : std::string("EXIT-CALLBACK UNREGISTERED not registered"));
}

int ExitCallbackCount() {
    std::lock_guard<std::mutex> guard(exitLock);
    return static_cast<int>(ExitCallbacks().size());
}

// Every callback is asked, even after one said no; one that removes itself (or another) while
// being asked is fine, the round works on the list as it was.
bool AskExitCallbacks(HWND mainWindow) {
    std::vector<ExitMAXCallback*> callbacks;
    {
        std::lock_guard<std::mutex> guard(exitLock);
        callbacks = ExitCallbacks();
    }
    WriteLine("QUIT ASKED " + std::to_string(callbacks.size()) + " exit callback(s)");
    int refusals = 0;
    for (ExitMAXCallback* callback : callbacks) {
        try {
            if (!callback->Exit(mainWindow)) ++refusals;
        } catch (...) {
            WriteLine("EXIT-CALLBACK THREW");
        }
    }
    if (refusals) WriteLine("QUIT REFUSED by " + std::to_string(refusals) + " exit callback(s): 3ds Max stays open");
    return refusals == 0;
}

} // namespace maxstandin
