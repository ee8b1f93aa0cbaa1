#pragma once
// The link to the farm's desktop client: one HTTP/1.1 POST on 127.0.0.1, one JSON reply whose
// result code becomes a message for the artist and a "kiv_http" log line.
#include <winsock2.h>
#include <windows.h>

#include "core/ClientInfo.h"

#include <cstdint>
#include <string>

namespace rud {

using ReplyCallback = void (*)();

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
// it returned. Returns the result code, or -1 when no usable reply arrived (after a message box).
[[nodiscard]] int32_t PostToClient(ClientInfo endpoint, std::string body, HWND owner,
                                   ReplyCallback onReplyReceived);
[[nodiscard]] int32_t PostToClient(ClientInfo endpoint, std::string body, HWND owner,
                                   ReplyCallback onReplyReceived, const ClientLinkTimeouts& timeouts);

// What PostToClient does with the bytes its one receive gave (at most 2048): logs the read, hands
// the text from the first "{" on to HandleClientReply, or shows that the reply held no JSON.
// Returns the result code, or -1. Apart from the socket so that replies can be checked as bytes.
[[nodiscard]] int32_t HandleReceivedReply(const std::string& received, HWND owner);

// Parses the reply's JSON (from its first "{"), shows the result code's message, logs it and
// returns "ret" (0 when absent), or -1 when the text is not a usable reply.
[[nodiscard]] int32_t HandleClientReply(std::string replyJson, HWND owner);

} // namespace rud
