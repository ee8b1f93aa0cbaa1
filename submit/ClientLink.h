#pragma once
// The link to the farm's desktop client: one HTTP/1.1 POST on 127.0.0.1, one JSON reply whose
// result code becomes a message for the artist and a "kiv_http" log line.
#include <winsock2.h>
#include <windows.h>

#include "core/ClientInfo.h"
#include "submit/SubmitReport.h"

#include <cstdint>
#include <string>

namespace rud {

using ReplyCallback = void (*)();

// What PostToClient returns besides the client's own result codes, which are all positive.
// The two differ in what the client may hold: nothing when it was never reached; perhaps a
// queued task when the request left and no usable reply came back, so that the task's archive
// and task file must then stay where the request said they are.
constexpr int32_t kClientNotReached = -1;
constexpr int32_t kClientUnconfirmed = -2;
// A reply that parsed but held no "ret": the client answered without saying what it did.
constexpr int32_t kClientAnswerWithoutCode = -3;

// True for the codes with which the client turns a task down (10002 to 10010, 11000, 11010):
// it holds nothing then. Any other code came after the request left and proves nothing.
bool IsClientRefusal(int32_t code);

// How long the worker waits for the client. A client that is not running fails the connect at
// once; the bounds only matter for a client that hangs.
struct ClientLinkTimeouts {
    DWORD connectMs = 5000;
    DWORD replyMs = 120000;  // send and receive
};

// The bounds the worker uses: the defaults, with the reply bound shortened when the environment
// variable RUD_CLIENT_REPLY_TIMEOUT_MS holds a smaller positive number of milliseconds (test runs
// and pipelines that must not wait two minutes for a client that hangs). It never lengthens it.
ClientLinkTimeouts ConfiguredClientLinkTimeouts();

// The exact bytes sent: header block (Content-Length in bytes, Host "<ip>:<port>") and body.
std::string BuildClientRequest(const ClientInfo& endpoint, const std::string& body);

// Sends `body` to endpoint.ip:port (low 16 bits of the port), reads one reply of at most 2048
// bytes and hands it to HandleClientReply. `onReplyReceived` runs once after the receive, whatever
// it returned. Returns the result code; kClientNotReached when no connection was made or no byte
// of the request left (after telling the artist); kClientUnconfirmed when the request left and the
// reply was missing, late or unreadable (logged only: the caller tells the artist what it kept).
[[nodiscard]] int32_t PostToClient(ClientInfo endpoint, std::string body, ISubmitReport& report,
                                   ReplyCallback onReplyReceived);
[[nodiscard]] int32_t PostToClient(ClientInfo endpoint, std::string body, ISubmitReport& report,
                                   ReplyCallback onReplyReceived, const ClientLinkTimeouts& timeouts);

// What PostToClient does with the bytes its one receive gave (at most 2048): logs the read and
// hands the text from the first "{" on to HandleClientReply. Returns the result code, or
// kClientUnconfirmed (logged, no message) when the reply holds no JSON. Apart from the socket so
// that replies can be checked as bytes.
[[nodiscard]] int32_t HandleReceivedReply(const std::string& received, ISubmitReport& report);

// Parses the reply's JSON (from its first "{"), shows the result code's message, logs it and
// returns "ret", kClientAnswerWithoutCode when it is absent, or kClientUnconfirmed (logged, no
// message) when the text is not a usable reply. A code it does not know is logged, not shown:
// the caller tells the artist what it kept.
[[nodiscard]] int32_t HandleClientReply(std::string replyJson, ISubmitReport& report);

} // namespace rud
