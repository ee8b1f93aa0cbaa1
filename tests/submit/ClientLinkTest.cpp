#include "submit/ClientLink.h"
#include "core/DataFolders.h"
#include "tests/submit/SubmitTestSupport.h"

#include "resources/StringIds.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

namespace {

// The data folder as the client's installer leaves it, made before any test creates the store:
// the store's log channel picks its folder once, and a program must not depend on another
// program of the run having made it.
struct InstalledDataFolder : ::testing::Environment {
    void SetUp() override { ::CreateDirectoryW(rud::DataFolder().c_str(), nullptr); }
};
::testing::Environment* const installed = ::testing::AddGlobalTestEnvironment(new InstalledDataFolder);

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
    rudtest::RecordingReport report;
};

TEST(ClientRequest, CountsBodyBytesAndNamesTheWholePort) {
    const std::string head = "POST / HTTP/1.1\r\nConnection: Keep-Alive\r\nContent-Type: application/json;charset=utf-8\r\n"
                             "User-Agent: A WinHTTP Program For Quillmere/1.0\r\nContent-Length: ";
    EXPECT_EQ(rud::BuildClientRequest(Endpoint(65541), ""), head + "0\r\nHost: 127.0.0.1:65541\r\n\r\n");
    const std::string body = "{\"n\":\"\xe4\xb8\xad\xe6\x96\x87\"}";   // 10 characters, 14 bytes
    EXPECT_EQ(rud::BuildClientRequest(Endpoint(80), body), head + "14\r\nHost: 127.0.0.1:80\r\n\r\n" + body);
}

// Every reply ends with its result, at most one message (none: empty text) and one callback; a
// client that is not running gets no callback. Once the request has left, a missing or unreadable
// reply is no refusal and shows nothing here: the worker says what it kept.
TEST_F(ClientLinkTest, EachReplyEndsWithItsResultAndMessage) {
    const std::string err = "\xe5\x9c\xba\xe6\x99\xaf\xe5\xb7\xb2\xe5\xad\x98\xe5\x9c\xa8 #42";   // 场景已存在 #42
    auto ret = [](int code) { return HttpReply("{\"ret\":" + std::to_string(code) + "}"); };
    enum Client { kAnswers, kSilent, kGone };
    const struct { std::string reply; int32_t result; std::wstring text; Client client = kAnswers; } cases[] = {
        {ret(10001), 10001, rud::WorkerText(IDS_SUBMIT_ACCEPTED)}, {ret(10009), 10009, rud::WorkerText(IDS_CLIENT_DUPLICATE)},
        {ret(11010), 11010, rud::WorkerText(IDS_CAMERA_NAMES_INVALID)}, {ret(12345), 12345, L""},   // unlisted: no message
        {HttpReply("{\"ret\":10010,\"err\":\"" + err + "\"}"), 10010, L"\x573a\x666f\x5df2\x5b58\x5728 #42"},
        {ret(10010), 10010, rud::WorkerText(IDS_CLIENT_REPLY_INVALID)},                     // no "err" text
        {HttpReply("{\"state\":\"ok\"}"), rud::kClientAnswerWithoutCode, L""},    // no "ret"
        {HttpReply("{\"ret\":null}"), rud::kClientAnswerWithoutCode, L""},
        {ret(0), 0, L""},
        {HttpReply("{\"ret\":\"10001\"}"), rud::kClientUnconfirmed, L""},
        {HttpReply("{\"ret\":10001.5}"), 10001, rud::WorkerText(IDS_SUBMIT_ACCEPTED)},      // a fraction is cut
        {HttpReply("{\"ret\":1e12}"), rud::kClientUnconfirmed, L""},                          // beyond an int
        {ret(-1), rud::kClientUnconfirmed, L""},                                              // none of the client's
        {HttpReply("{\"ret\":10001,\"pad\":\"" + std::string(3000, 'x') + "\"}"), rud::kClientUnconfirmed, L""},
        {HttpReply("{\"ret\":" + std::string(1500, '[')), rud::kClientUnconfirmed, L""},     // too deep to parse
        {"HTTP/1.1 500 Internal Server Error\r\n\r\n", rud::kClientUnconfirmed, L""},
        {"", rud::kClientUnconfirmed, L""},                                                  // closed without a word
        {"", rud::kClientUnconfirmed, L"", kSilent},
        {"", rud::kClientNotReached, rud::WorkerText(IDS_CLIENT_UNREACHABLE), kGone},
    };
    const std::string body = "{\n   \"scenePath\" : \"C:/\xe5\x9c\xba\xe6\x99\xaf.max\"\n}\n";
    for (const auto& c : cases) {
        callbacks = 0;
        const size_t before = report.told.size();
        auto client = std::make_unique<rudtest::ScriptedClient>(c.reply, c.client == kSilent);
        const int port = client->Port();
        if (c.client == kGone) client.reset();   // a free port, closed again before the post
        rud::ClientLinkTimeouts wait;
        if (c.client == kSilent) wait.replyMs = 500;
        EXPECT_EQ(rud::PostToClient(Endpoint(port), body, report, &CountCallback, wait), c.result) << c.reply;
        if (client && c.client == kAnswers) { EXPECT_EQ(client->Request(), rud::BuildClientRequest(Endpoint(port), body)); }
        EXPECT_EQ(callbacks, c.client == kGone ? 0 : 1) << c.reply;
        ASSERT_EQ(report.told.size(), before + (c.text.empty() ? 0 : 1)) << c.reply;
        if (c.text.empty()) continue;
        EXPECT_EQ(report.told.back().text, c.text) << c.reply;
        EXPECT_EQ(report.told.back().caption, c.result == 10001 ? rud::MessageCaption::kNone : rud::MessageCaption::kError);
    }
    const std::string log = rudtest::LogFileBytes("kiv_http");
    for (const std::string& line : std::vector<std::string>{"[INFO] Submit successfully.", "[ERROR] " + err,
             "[INFO] find '{' failed.", "[ERROR] The current submission scenario already exists, please do not repeat",
             "[ERROR] connect error, Error Code is: ", "[WARN] The client answered with the unknown result code 12345.",
             "[WARN] The client's reply holds no result code."})
        EXPECT_NE(log.find(line), std::string::npos) << line;
}

// Only a refusal proves that the client holds nothing; the worker keeps the files otherwise.
TEST(ClientRefusal, OnlyTheRefusalCodes) {
    for (int32_t code : {10002, 10005, 10009, 10010, 11000, 11010}) EXPECT_TRUE(rud::IsClientRefusal(code)) << code;
    for (int32_t code : {10001, 0, 10000, 10011, 11001, 12345, rud::kClientUnconfirmed, rud::kClientAnswerWithoutCode})
        EXPECT_FALSE(rud::IsClientRefusal(code)) << code;
}

TEST_F(ClientLinkTest, PortAboveTheRangeConnectsOnItsLow16Bits) {
    rudtest::ScriptedClient client(HttpReply("{\"ret\":10001}"));
    EXPECT_EQ(rud::PostToClient(Endpoint(client.Port() + 65536), "{}", report, &CountCallback), 10001);
    EXPECT_NE(client.Request().find("\r\nHost: 127.0.0.1:" + std::to_string(client.Port() + 65536) + "\r\n"),
              std::string::npos);
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
