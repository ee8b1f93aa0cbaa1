#pragma once
// Calls a published function the way MAXScript does: the interface found by its name among the
// core interfaces, the function by its name in the interface's descriptor, positional and
// keyword arguments matched to the descriptor's parameters (defaults for keywords not given).
#include <string>

namespace maxhost {

struct ScriptCallResult {
    bool ok = false;
    std::wstring value;   // the returned value as the Listener prints it, or the error
};

// `expression`: Interface.function arg ... key:value ..., with MAXScript literals (numbers,
// "strings", true/false, #names, #(arrays)). Run on the host's main thread.
ScriptCallResult CallPublishedFunction(const std::wstring& expression);

} // namespace maxhost
