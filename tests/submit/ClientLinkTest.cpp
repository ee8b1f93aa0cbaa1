#include "submit/ClientLink.h"
#include "tests/submit/SubmitTestSupport.h"
#include "tests/support/MessageBoxRecorder.h"

#include "core/ResourceStrings.h"
#include "core/TextConversions.h"
#include "resources/StringIds.h"

#include <gtest/gtest.h>

#include <atomic>

namespace {

std::atomic<int> callbacks{0};
void CountCallback() { ++callbacks; }

std::wstring Text(int id) {
    const wchar_t* text = rud::LoadResourceTextB(id);
    return text ? text : L"";
}

std::string HttpReply(const std::string& json) {
    return "HTTP/1.1 200 OK\r\nContent-Type: application/json\r\nContent-Length: " + std::to_string(json.size()) +
           "\r\n\r\n" + json;
}

class ClientLinkTest : public ::testing::Test {
protected:
    ClientLinkTest() { callbacks = 0; }
    rud::ClientInfo Endpoint(int port) {
        rud::ClientInfo endpoint;
        endpoint.ip = L"127.0.0.1";
        endpoint.port = port;
        return endpoint;
    }
    // Posts `body` to a scripted client answering `reply`; the request it saw lands in `request`.
    int32_t Post(const std::string& reply, const std::string& body = "{}", int portOffset = 0) {
        rudtest::ScriptedClient client(reply);
        const int32_t result = rud::PostToClient(Endpoint(client.Port() + portOffset), body, owner, &CountCallback);
        request = client.Request();
        return result;
    }
    rudtest::WinsockSession winsock;
    rudtest::MessageBoxRecorder boxes;
    HWND owner = reinterpret_cast<HWND>(0x1234);
    std::string request;
};

TEST(ClientRequest, HasTheExactHeadAndByteCount) {
    rud::ClientInfo endpoint;
    endpoint.ip = L"127.0.0.1";
    endpoint.port = 65541;
    const std::string head = "POST / HTTP/1.1\r\nConnection: Keep-Alive\r\nContent-Type: application/json;charset=utf-8\r\n"
                             "User-Agent: A WinHTTP Program For Quillmere/1.0\r\nContent-Length: ";
    EXPECT_EQ(rud::BuildClientRequest(endpoint, ""), head + "0\r\nHost: 127.0.0.1:65541\r\n\r\n");
    const std::string body = "{\"n\":\"\xe4\xb8\xad\xe6\x96\x87\"}";   // 10 characters, 14 bytes
    EXPECT_EQ(rud::BuildClientRequest(endpoint, body), head + "14\r\nHost: 127.0.0.1:65541\r\n\r\n" + body);
}

TEST_F(ClientLinkTest, AcceptedTaskShowsTheSuccessMessage) {
    const std::string body = "{\n   \"scenePath\" : \"C:/\xe5\x9c\xba\xe6\x99\xaf.max\"\n}\n";
    rudtest::ScriptedClient client(HttpReply("{\"ret\":10001}"));
    EXPECT_EQ(rud::PostToClient(Endpoint(client.Port()), body, owner, &CountCallback), 10001);
    EXPECT_EQ(client.Request(), rud::BuildClientRequest(Endpoint(client.Port()), body));
    EXPECT_EQ(callbacks.load(), 1);
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text, Text(IDS_SUBMIT_ACCEPTED));
    EXPECT_EQ(boxes.Boxes()[0].caption, L"");
    EXPECT_EQ(boxes.Boxes()[0].owner, owner);
    EXPECT_NE(rudtest::LogFileBytes("kiv_http").find("[INFO] Submit successfully."), std::string::npos);
}

TEST_F(ClientLinkTest, PortAboveTheRangeUsesItsLow16BitsButShowsTheWholeNumber) {
    rudtest::ScriptedClient client(HttpReply("{\"ret\":10001}"));
    EXPECT_EQ(rud::PostToClient(Endpoint(client.Port() + 65536), "{}", owner, &CountCallback), 10001);
    EXPECT_NE(client.Request().find("\r\nHost: 127.0.0.1:" + std::to_string(client.Port() + 65536) + "\r\n"),
              std::string::npos);
}

TEST_F(ClientLinkTest, EachRefusalHasItsMessage) {
    const struct { int code; int stringId; } cases[] = {
        {10002, IDS_CLIENT_NOT_MAX_PROJECT}, {10003, IDS_CLIENT_VERSION_MISMATCH}, {10004, IDS_CLIENT_NOT_SKETCH},
        {10005, IDS_CLIENT_NO_SCENE}, {10006, IDS_CLIENT_NO_TASK_FILE}, {10007, IDS_CLIENT_TASK_UNREADABLE},
        {10008, IDS_CLIENT_BAD_SUFFIX}, {10009, IDS_CLIENT_DUPLICATE}, {11000, IDS_CLIENT_INTERNAL},
        {11010, IDS_CAMERA_NAMES_INVALID},
    };
    for (const auto& c : cases) {
        const size_t before = boxes.Count();
        EXPECT_EQ(Post(HttpReply("{\"ret\":" + std::to_string(c.code) + "}")), c.code);
        ASSERT_EQ(boxes.Count(), before + 1) << c.code;
        EXPECT_EQ(boxes.Boxes().back().text, Text(c.stringId)) << c.code;
        EXPECT_EQ(boxes.Boxes().back().caption, Text(IDS_CAPTION_ERROR)) << c.code;
    }
    EXPECT_NE(rudtest::LogFileBytes("kiv_http").find(
                  "[ERROR] The current submission scenario already exists, please do not repeat the submission!"),
              std::string::npos);
}

TEST_F(ClientLinkTest, ClientErrorTextIsShownDecodedAndLoggedAsSent) {
    const std::string err = "\xe5\x9c\xba\xe6\x99\xaf\xe5\xb7\xb2\xe5\xad\x98\xe5\x9c\xa8 #42";   // 场景已存在 #42
    EXPECT_EQ(Post(HttpReply("{\"ret\":10010,\"err\":\"" + err + "\"}")), 10010);
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text, L"\x573a\x666f\x5df2\x5b58\x5728 #42");
    EXPECT_NE(rudtest::LogFileBytes("kiv_http").find("[ERROR] " + err), std::string::npos);
}

TEST_F(ClientLinkTest, UnusableRepliesEndWithMinusOne) {
    const struct { std::string reply; int32_t result; int stringId; } cases[] = {
        {"HTTP/1.1 500 Internal Server Error\r\n\r\n", -1, IDS_CLIENT_REPLY_NO_JSON},
        {HttpReply("{\"ret\":10001,\"pad\":\"" + std::string(3000, 'x') + "\"}"), -1, IDS_CLIENT_REPLY_INVALID},
        {HttpReply("{\"ret\":\"10001\"}"), -1, IDS_CLIENT_REPLY_INVALID},
        {HttpReply("{\"ret\":10010}"), 10010, IDS_CLIENT_REPLY_INVALID},   // no "err" text
        {"", -1, IDS_CLIENT_UNREACHABLE},                                  // closed without a word
    };
    for (const auto& c : cases) {
        callbacks = 0;
        const size_t before = boxes.Count();
        EXPECT_EQ(Post(c.reply), c.result) << c.reply.substr(0, 60);
        EXPECT_EQ(callbacks.load(), 1);
        ASSERT_EQ(boxes.Count(), before + 1);
        EXPECT_EQ(boxes.Boxes().back().text, Text(c.stringId)) << c.reply.substr(0, 60);
    }
    EXPECT_NE(rudtest::LogFileBytes("kiv_http").find("[INFO] find '{' failed."), std::string::npos);
}

TEST_F(ClientLinkTest, ReplyWithoutRetIsSilentlyZero) {
    EXPECT_EQ(Post(HttpReply("{\"state\":\"ok\"}")), 0);
    EXPECT_EQ(boxes.Count(), 0u);
    EXPECT_EQ(rud::HandleClientReply("{\"ret\":12345}", owner), 12345);   // unlisted: no message
    EXPECT_EQ(boxes.Count(), 0u);
}

TEST_F(ClientLinkTest, ClientThatIsNotRunningIsReportedWithoutCallback) {
    SOCKET probe = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = ::inet_addr("127.0.0.1");
    ::bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof(address));
    int length = sizeof(address);
    ::getsockname(probe, reinterpret_cast<sockaddr*>(&address), &length);
    ::closesocket(probe);   // nobody listens on that port now
    EXPECT_EQ(rud::PostToClient(Endpoint(::ntohs(address.sin_port)), "{}", owner, &CountCallback), -1);
    EXPECT_EQ(callbacks.load(), 0);
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text, Text(IDS_CLIENT_UNREACHABLE));
    EXPECT_NE(rudtest::LogFileBytes("kiv_http").find("[ERROR] connect error, Error Code is: "), std::string::npos);
}

TEST_F(ClientLinkTest, SilentClientEndsWithTheTimeOutMessage) {
    rudtest::ScriptedClient client("", /*silent=*/true);
    rud::ClientLinkTimeouts shortWait;
    shortWait.replyMs = 500;
    EXPECT_EQ(rud::PostToClient(Endpoint(client.Port()), "{}", owner, &CountCallback, shortWait), -1);
    EXPECT_EQ(callbacks.load(), 1);
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text, Text(IDS_CLIENT_TIMEOUT));
}

} // namespace
