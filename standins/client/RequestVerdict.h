#pragma once
// The stand-in client's checks of one request, the way the farm's client refuses bad tasks:
// the HTTP head, the body, the task description file, the scene copy and the scene archive.
#include <json/value.h>

#include <cstdint>
#include <string>

namespace rudclient {

struct VerdictContext {
    std::wstring sevenZip;   // the archiver used to test archives
    std::wstring userName;   // the account the client publishes (direct-save accounts use a password)
};

struct Verdict {
    Json::Value record{Json::objectValue};   // every check with its outcome, for tests to read
    int32_t refusalCode = 0;                 // 0 when all checks passed, else the code to answer
};

Verdict CheckRequest(const std::string& raw, const VerdictContext& context);

// True when `raw` holds a complete head and as many body bytes as its Content-Length says.
bool RequestComplete(const std::string& raw);

} // namespace rudclient
