#include "submit/ClientLink.h"
#include "tests/submit/SubmitTestSupport.h"
#include "tests/support/MessageBoxRecorder.h"

#include "resources/StringIds.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {


int callbacks = 0;
void CountCallback() { ++callbacks; }

std::string HttpReply(const std::string& json) {
    return "HTTP/1.1 200 OK\r\nContent-Type: application/json\r\nContent-Length: " + std::to_string(json.size()) +
           "\r\n\r\n" + json;
}

rud::ClientInfo Endpoint(int port) {
    rud::ClientInfo endpoint;
    endpoint.ip = L"127.0.0.1";
    endpoint.port = port;
    return endpoint;
}

class ClientLinkTest : public ::testing::Test {
protected:
    ClientLinkTest() { callbacks = 0; }
    rudtest::WinsockSession winsock;
    rudtest::MessageBoxRecorder boxes;
    HWND owner = reinterpret_cast<HWND>(0x1234);
};

TEST(ClientRequest, CountsBodyBytesAndNamesTheWholePort) {
    const std::string head = "POST / HTTP/1.1\r\nConnection: Keep-Alive\r\nContent-Type: application/json;charset=utf-8\r\n"
                             "User-Agent: A WinHTTP Program For Quillmere/1.0\r\nContent-Length: ";
    EXPECT_EQ(rud::BuildClientRequest(Endpoint(65541), ""), head + "0\r\nHost: 127.0.0.1:65541\r\n\r\n");
    const std::string body = "{\"n\":\"\xe4\xb8\xad\xe6\x96\x87\"}";   // 10 characters, 14 bytes
    EXPECT_EQ(rud::BuildClientRequest(Endpoint(80), body), head + "14\r\nHost: 127.0.0.1:80\r\n\r\n" + body);
}

// Every reply ends with its result, at most one message (none: empty text) and one callback.
TEST_F(ClientLinkTest, EachReplyEndsWithItsResultAndMessage) {
    const std::string err = "\xe5\x9c\xba\xe6\x99\xaf\xe5\xb7\xb2\xe5\xad\x98\xe5\x9c\xa8 #42";   // 场景已存在 #42
    auto ret = [](int code) { return HttpReply("{\"ret\":" + std::to_string(code) + "}"); };
    const struct { std::string reply; int32_t result; std::wstring text; } cases[] = {
        {ret(10001), 10001, rud::WorkerText(IDS_SUBMIT_ACCEPTED)}, {ret(10002), 10002, rud::WorkerText(IDS_CLIENT_NOT_MAX_PROJECT)},
        {ret(10003), 10003, rud::WorkerText(IDS_CLIENT_VERSION_MISMATCH)}, {ret(10004), 10004, rud::WorkerText(IDS_CLIENT_NOT_SKETCH)},
        {ret(10005), 10005, rud::WorkerText(IDS_CLIENT_NO_SCENE)}, {ret(10006), 10006, rud::WorkerText(IDS_CLIENT_NO_TASK_FILE)},
        {ret(10007), 10007, rud::WorkerText(IDS_CLIENT_TASK_UNREADABLE)}, {ret(10008), 10008, rud::WorkerText(IDS_CLIENT_BAD_SUFFIX)},
        {ret(10009), 10009, rud::WorkerText(IDS_CLIENT_DUPLICATE)}, {ret(11000), 11000, rud::WorkerText(IDS_CLIENT_INTERNAL)},
        {ret(11010), 11010, rud::WorkerText(IDS_CAMERA_NAMES_INVALID)}, {ret(12345), 12345, L""},   // unlisted: no message
        {HttpReply("{\"ret\":10010,\"err\":\"" + err + "\"}"), 10010, L"\x573a\x666f\x5df2\x5b58\x5728 #42"},
        {ret(10010), 10010, rud::WorkerText(IDS_CLIENT_REPLY_INVALID)},                     // no "err" text
        {HttpReply("{\"state\":\"ok\"}"), 0, L""},                               // no "ret"
        {HttpReply("{\"ret\":\"10001\"}"), -1, rud::WorkerText(IDS_CLIENT_REPLY_INVALID)},
        {HttpReply("{\"ret\":10001.5}"), 10001, rud::WorkerText(IDS_SUBMIT_ACCEPTED)},      // a fraction is cut
        {HttpReply("{\"ret\":1e12}"), -1, rud::WorkerText(IDS_CLIENT_REPLY_INVALID)},       // beyond an int
        {HttpReply("{\"ret\":10001,\"pad\":\"" + std::string(3000, 'x') + "\"}"), -1, rud::WorkerText(IDS_CLIENT_REPLY_INVALID)},
        {HttpReply("{\"ret\":" + std::string(1500, '[')), -1, rud::WorkerText(IDS_CLIENT_REPLY_INVALID)},  // too deep to parse
        {"HTTP/1.1 500 Internal Server Error\r\n\r\n", -1, rud::WorkerText(IDS_CLIENT_REPLY_NO_JSON)},
        {"", -1, rud::WorkerText(IDS_CLIENT_UNREACHABLE)},                                  // closed without a word
    };
    const std::string body = "{\n   \"scenePath\" : \"C:/\xe5\x9c\xba\xe6\x99\xaf.max\"\n}\n";
    for (const auto& c : cases) {
        callbacks = 0;
        const size_t before = boxes.Count();
        rudtest::ScriptedClient client(c.reply);
        EXPECT_EQ(rud::PostToClient(Endpoint(client.Port()), body, owner, &CountCallback), c.result) << c.reply;
        EXPECT_EQ(client.Request(), rud::BuildClientRequest(Endpoint(client.Port()), body));
        EXPECT_EQ(callbacks, 1);
        ASSERT_EQ(boxes.Count(), before + (c.text.empty() ? 0 : 1)) << c.reply;
        if (c.text.empty()) continue;
        EXPECT_EQ(boxes.Boxes().back().text, c.text) << c.reply;
        EXPECT_EQ(boxes.Boxes().back().caption, c.result == 10001 ? L"" : rud::WorkerText(IDS_CAPTION_ERROR));
        EXPECT_EQ(boxes.Boxes().back().owner, owner);
    }
    const std::string log = rudtest::LogFileBytes("kiv_http");
    for (const std::string& line : std::vector<std::string>{"[INFO] Submit successfully.", "[ERROR] " + err,
             "[INFO] find '{' failed.", "[ERROR] The current submission scenario already exists, please do not repeat"})
        EXPECT_NE(log.find(line), std::string::npos) << line;
}

TEST_F(ClientLinkTest, PortAboveTheRangeConnectsOnItsLow16Bits) {
    rudtest::ScriptedClient client(HttpReply("{\"ret\":10001}"));
    EXPECT_EQ(rud::PostToClient(Endpoint(client.Port() + 65536), "{}", owner, &CountCallback), 10001);
    EXPECT_NE(client.Request().find("\r\nHost: 127.0.0.1:" + std::to_string(client.Port() + 65536) + "\r\n"),
              std::string::npos);
}

TEST_F(ClientLinkTest, ClientThatIsNotRunningIsReportedWithoutCallback) {
    int port = 0;
    {
        rudtest::ScriptedClient gone("");   // a free port, closed again before the post
        port = gone.Port();
    }
    EXPECT_EQ(rud::PostToClient(Endpoint(port), "{}", owner, &CountCallback), -1);
    EXPECT_EQ(callbacks, 0);
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text, rud::WorkerText(IDS_CLIENT_UNREACHABLE));
    EXPECT_NE(rudtest::LogFileBytes("kiv_http").find("[ERROR] connect error, Error Code is: "), std::string::npos);
}

TEST_F(ClientLinkTest, SilentClientEndsWithTheTimeOutMessage) {
    rudtest::ScriptedClient client("", /*silent=*/true);
    rud::ClientLinkTimeouts shortWait;
    shortWait.replyMs = 500;
    EXPECT_EQ(rud::PostToClient(Endpoint(client.Port()), "{}", owner, &CountCallback, shortWait), -1);
    EXPECT_EQ(callbacks, 1);
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text, rud::WorkerText(IDS_CLIENT_TIMEOUT));
}

// The reply bound can only be shortened from outside, never lengthened or switched off.
TEST(ClientLinkTimeouts, EnvironmentOnlyShortensTheReplyWait) {
    const struct { const wchar_t* value; DWORD replyMs; } cases[] = {
        {nullptr, 120000}, {L"3000", 3000}, {L"1", 1}, {L"0", 120000}, {L"-5", 120000},
        {L"soon", 120000}, {L"500000", 120000}, {L"", 120000},
    };
    for (const auto& c : cases) {
        _wputenv((std::wstring(L"RUD_CLIENT_REPLY_TIMEOUT_MS=") + (c.value ? c.value : L"")).c_str());
        EXPECT_EQ(rud::ConfiguredClientLinkTimeouts().replyMs, c.replyMs) << (c.value ? c.value : L"(unset)");
        EXPECT_EQ(rud::ConfiguredClientLinkTimeouts().connectMs, 5000u);
    }
    _wputenv(L"RUD_CLIENT_REPLY_TIMEOUT_MS=");
}

} // namespace
