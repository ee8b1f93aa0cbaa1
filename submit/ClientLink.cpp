#include "submit/ClientLink.h"

#include "core/LogChannel.h"
#include "core/TextConversions.h"
#include "core/WinHandles.h"
#include "resources/StringIds.h"
#include "core/ResourceStrings.h"

#include <json/reader.h>
#include <json/value.h>

#include <cstdio>
#include <exception>
#include <cstdlib>
#include <cwchar>

namespace rud {
namespace {

constexpr int kReplyBufferSize = 2048;

struct ResultCodeMessage {
    int32_t code;
    int stringId;
    const char* logText;
};

// 10001 (accepted) and 10010 (the client's own words) are handled apart.
constexpr ResultCodeMessage kRefusals[] = {
    {10002, IDS_CLIENT_NOT_MAX_PROJECT, "The client's current project is not a 3ds max render project, please set it up again!"},
    {10003, IDS_CLIENT_VERSION_MISMATCH, "The client rendering version is not match!"},
    {10004, IDS_CLIENT_NOT_SKETCH, "The current project is not an design sketch project!"},
    {10005, IDS_CLIENT_NO_SCENE, "The scene file is not exist!"},
    {10006, IDS_CLIENT_NO_TASK_FILE, "he Analysis file is not exist!"},
    {10007, IDS_CLIENT_TASK_UNREADABLE, "Parse the analysis file failed!"},
    {10008, IDS_CLIENT_BAD_SUFFIX, "The current submission of the scene suffix is wrong, please check for confirmation!"},
    {10009, IDS_CLIENT_DUPLICATE, "The current submission scenario already exists, please do not repeat the submission!"},
    {11000, IDS_CLIENT_INTERNAL, "An internal error occurred. Please restart 3ds max and re-operate!"},
    {11010, IDS_CAMERA_NAMES_INVALID, "Camera name can not have special characters, please modify and re-submit!"},
};

constexpr int32_t kAccepted = 10001;
constexpr int32_t kClientError = 10010;

// An unreadable reply is no refusal: the client may have queued the task before it answered.
int32_t ReplyParseFailed(LogChannel& log) {
    std::printf("Error %lu in WinHttpReadData.\n", static_cast<unsigned long>(::GetLastError()));
    std::fflush(stdout);
    log.write("Get response data failed: parse the data from client failed!", "ERROR");
    return kClientUnconfirmed;
}

// The reply as a JSON object. jsoncpp throws on nesting deeper than it parses, which a reply of
// 2048 bytes can reach; that reply is as unusable as any other that does not parse.
bool ParseReplyObject(const std::string& replyJson, Json::Value& root) {
    try {
        Json::Reader reader;
        return reader.parse(replyJson, root) && root.isObject();
    } catch (const std::exception&) {
        return false;
    }
}

// Connects with an upper bound on the wait; leaves the socket blocking again. False with the
// socket error in `error` (WSAETIMEDOUT when the bound expired).
bool ConnectWithin(SOCKET socket, const sockaddr_in& address, DWORD milliseconds, int& error) {
    u_long nonBlocking = 1;
    if (::ioctlsocket(socket, FIONBIO, &nonBlocking) != 0) { error = ::WSAGetLastError(); return false; }
    if (::connect(socket, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0) {
        error = ::WSAGetLastError();
        if (error != WSAEWOULDBLOCK) return false;
        fd_set writable, failed;
        FD_ZERO(&writable);
        FD_ZERO(&failed);
        FD_SET(socket, &writable);
        FD_SET(socket, &failed);
        timeval limit{static_cast<long>(milliseconds / 1000), static_cast<long>((milliseconds % 1000) * 1000)};
        int ready = ::select(0, nullptr, &writable, &failed, &limit);
        if (ready == 0) { error = WSAETIMEDOUT; return false; }
        if (ready == SOCKET_ERROR) { error = ::WSAGetLastError(); return false; }
        int soError = 0;
        int length = sizeof(soError);
        ::getsockopt(socket, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&soError), &length);
        if (FD_ISSET(socket, &failed) || soError != 0) {
            error = soError != 0 ? soError : WSAECONNREFUSED;
            return false;
        }
    }
    u_long blocking = 0;
    ::ioctlsocket(socket, FIONBIO, &blocking);
    error = 0;
    return true;
}

} // namespace

bool IsClientRefusal(int32_t code) {
    if (code == kClientError) return true;
    for (const ResultCodeMessage& refusal : kRefusals)
        if (refusal.code == code) return true;
    return false;
}

std::string BuildClientRequest(const ClientInfo& endpoint, const std::string& body) {
    std::string request =
        "POST / HTTP/1.1\r\nConnection: Keep-Alive\r\nContent-Type: application/json;charset=utf-8\r\n"
        "User-Agent: A WinHTTP Program For Quillmere/1.0\r\nContent-Length: ";
    request += std::to_string(body.size());
    request += "\r\nHost: ";
    request += WideToUtf8(endpoint.ip);
    request += ":" + std::to_string(endpoint.port);
    request += "\r\n\r\n";
    request += body;
    return request;
}

ClientLinkTimeouts ConfiguredClientLinkTimeouts() {
    ClientLinkTimeouts timeouts;
    const wchar_t* value = _wgetenv(L"RUD_CLIENT_REPLY_TIMEOUT_MS");
    if (value && *value) {
        const unsigned long shorter = std::wcstoul(value, nullptr, 10);
        if (shorter > 0 && shorter < timeouts.replyMs) timeouts.replyMs = static_cast<DWORD>(shorter);
    }
    return timeouts;
}

namespace {

class WinsockUse {
public:
    WinsockUse() {
        WSADATA data{};
        started_ = ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }
    ~WinsockUse() {
        if (started_) ::WSACleanup();
    }
    WinsockUse(const WinsockUse&) = delete;
    WinsockUse& operator=(const WinsockUse&) = delete;

private:
    bool started_ = false;
};

} // namespace

int32_t PostToClient(ClientInfo endpoint, std::string body, ISubmitReport& report, ReplyCallback onReplyReceived) {
    return PostToClient(std::move(endpoint), std::move(body), report, onReplyReceived, ConfiguredClientLinkTimeouts());
}

int32_t PostToClient(ClientInfo endpoint, std::string body, ISubmitReport& report, ReplyCallback onReplyReceived,
                     const ClientLinkTimeouts& timeouts) {
    auto log = OpenHttpLog();
    // The run's own use of Windows Sockets: the dialog that started it may be gone by now.
    const WinsockUse winsock;
    // Before any byte of the request left, the client holds nothing and the artist reads that it
    // could not be reached. After that, a missing reply is only logged here: the worker keeps
    // what the client may hold and says where it is.
    auto fail = [&](const std::string& text, int error, bool requestLeft) {
        if (!requestLeft) report.Tell(WorkerText(IDS_CLIENT_UNREACHABLE), MessageCaption::kError);
        log->write(text + std::to_string(static_cast<unsigned long>(error)), "ERROR");
        return requestLeft ? kClientUnconfirmed : kClientNotReached;
    };

    UniqueSocket socket(::socket(AF_INET, SOCK_STREAM, 0));
    if (!socket) return fail("Create socket error, Error Code is: ", ::WSAGetLastError(), false);

    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = ::inet_addr(WideToUtf8(endpoint.ip).c_str());
    address.sin_port = ::htons(static_cast<u_short>(endpoint.port & 0xFFFF));
    int error = 0;
    if (!ConnectWithin(socket.get(), address, timeouts.connectMs, error)) {
        socket.reset();
        return fail("connect error, Error Code is: ", error, false);
    }
    DWORD replyMs = timeouts.replyMs;
    ::setsockopt(socket.get(), SOL_SOCKET, SO_SNDTIMEO, reinterpret_cast<const char*>(&replyMs), sizeof(replyMs));
    ::setsockopt(socket.get(), SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&replyMs), sizeof(replyMs));

    const std::string request = BuildClientRequest(endpoint, body);
    size_t sent = 0;
    while (sent < request.size()) {
        int count = ::send(socket.get(), request.data() + sent, static_cast<int>(request.size() - sent), 0);
        if (count <= 0) {
            int sendError = ::WSAGetLastError();
            socket.reset();
            return fail("send error send_size:" + std::to_string(sent) + " total_size:" +
                        std::to_string(request.size()) + ", Error Code is: ", sendError, sent > 0);
        }
        sent += static_cast<size_t>(count);
    }

    char reply[kReplyBufferSize + 1] = {};
    int received = ::recv(socket.get(), reply, kReplyBufferSize, 0);
    int receiveError = ::WSAGetLastError();
    if (onReplyReceived) onReplyReceived();
    if (received <= 0) {
        socket.reset();
        return fail("connect error, Error Code is: ", receiveError, true);
    }
    reply[received] = '\0';
    return HandleReceivedReply(std::string(reply, static_cast<size_t>(received)), report);
}

int32_t HandleReceivedReply(const std::string& received, ISubmitReport& report) {
    auto log = OpenHttpLog();
    log->write("tcp read data successfully.", "INFO");
    const size_t brace = received.find('{');
    if (brace != std::string::npos) return HandleClientReply(received.substr(brace), report);
    log->write("find '{' failed.", "INFO");
    return kClientUnconfirmed;
}

int32_t HandleClientReply(std::string replyJson, ISubmitReport& report) {
    auto log = OpenHttpLog();

    Json::Value root;
    if (!ParseReplyObject(replyJson, root)) return ReplyParseFailed(*log);
    const Json::Value& ret = root["ret"];
    if (ret.isNull()) {
        log->write("The client's reply holds no result code.", "WARN");
        return kClientAnswerWithoutCode;
    }
    // "ret" is read as jsoncpp's asInt reads it (a fraction is cut: 10001.5 is 10001); a value
    // asInt refuses (text, out of range) is as unusable as bad JSON, and so is a negative one,
    // which no client sends and which would read as one of our own outcomes.
    if (!ret.isConvertibleTo(Json::intValue) || ret.asInt() < 0) return ReplyParseFailed(*log);
    const int32_t code = ret.asInt();

    if (code == kAccepted) {
        report.Tell(WorkerText(IDS_SUBMIT_ACCEPTED), MessageCaption::kNone);
        log->write("Submit successfully.", "INFO");
        return code;
    }
    if (code == kClientError) {
        const Json::Value& err = root["err"];
        if (!err.isString()) {
            report.Tell(WorkerText(IDS_CLIENT_REPLY_INVALID), MessageCaption::kError);
            log->write("Get response data failed: the client sent no error text!", "ERROR");
            return code;
        }
        report.Tell(Utf8ToWide(err.asString()), MessageCaption::kError);
        log->write(err.asString(), "ERROR");
        return code;
    }
    for (const ResultCodeMessage& refusal : kRefusals) {
        if (refusal.code != code) continue;
        report.Tell(WorkerText(refusal.stringId), MessageCaption::kError);
        log->write(refusal.logText, "ERROR");
        return code;
    }
    log->write("The client answered with the unknown result code " + std::to_string(code) + ".", "WARN");
    return code;
}

} // namespace rud
