#include "tests/submit/SubmitTestSupport.h"

#include "core/LogChannel.h"
#include "core/ResourceStrings.h"
#include "core/TextConversions.h"
#include "resources/ControlIds.h"
#include "standins/client/RequestVerdict.h"
#include "tests/support/MessageBoxRecorder.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <json/reader.h>

#include <filesystem>

namespace rudtest {

namespace fs = std::filesystem;

ScratchFolder::ScratchFolder(const std::wstring& name)
    : path_(fs::temp_directory_path() / (L"rud-submit-" + name + L"-" + std::to_wstring(::GetCurrentProcessId()))) {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
    fs::create_directory(path_, ignored);
}

ScratchFolder::~ScratchFolder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

std::string LogFileBytes(const std::string& channel) {
    return ReadBytes(rud::AnsiChsToWide(rud::LogChannel(channel, 2, 5, 0).BasePath() + ".log"));
}

Json::Value ParseJson(const std::string& text) {
    Json::Value value;
    EXPECT_TRUE(Json::Reader().parse(text, value)) << text;
    return value;
}

bool SevenZipStandInAvailable() {
    const bool underWine = ::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name") != nullptr;
    return underWine && rud::PathExists(BinFolder() + L"\\7z.exe");
}

ScriptedClient::ScriptedClient(std::string reply, bool silent) : listener_(::socket(AF_INET, SOCK_STREAM, 0)) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = ::inet_addr("127.0.0.1");
    int length = sizeof(address);
    ::bind(listener_, reinterpret_cast<sockaddr*>(&address), length);
    ::listen(listener_, 1);
    ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ::ntohs(address.sin_port);
    thread_ = std::thread([this, reply = std::move(reply), silent] {
        SOCKET client = ::accept(listener_, nullptr, nullptr);
        DWORD limit = 10000;   // a request that never completes must not hold the test forever
        ::setsockopt(client, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&limit), sizeof(limit));
        char buffer[4096];
        for (int count = 1; client != INVALID_SOCKET && count > 0 && !rudclient::RequestComplete(request_);) {
            count = ::recv(client, buffer, sizeof(buffer), 0);
            if (count > 0) request_.append(buffer, static_cast<size_t>(count));
        }
        received_ = true;
        while (silent && !release_) ::Sleep(10);
        if (!silent) ::send(client, reply.data(), static_cast<int>(reply.size()), 0);
        ::shutdown(client, SD_SEND);
        ::closesocket(client);
    });
}

ScriptedClient::~ScriptedClient() {
    release_ = true;
    ::closesocket(listener_);
    thread_.join();
}

std::string ScriptedClient::Request() {
    for (int i = 0; i < 2000 && !received_; ++i) ::Sleep(10);
    return received_ ? request_ : std::string();
}

std::vector<std::wstring> RecordingReport::Texts() const {
    std::vector<std::wstring> texts;
    for (const Told& message : told) texts.push_back(message.text);
    return texts;
}

bool RecordingReport::Ask(const std::wstring& text, rud::MessageCaption caption) {
    told.push_back({text, caption});
    if (answers.empty()) return true;
    const bool answer = answers.front();
    answers.pop_front();
    return answer;
}

} // namespace rudtest
