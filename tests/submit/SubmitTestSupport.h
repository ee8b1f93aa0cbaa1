#pragma once
// Equipment for the submission tests: scratch folders and files, language texts, a report that
// records instead of showing, and a scripted client on a loopback socket.
#include <winsock2.h>
#include <windows.h>

#include <json/value.h>

#include "core/ResourceStrings.h"
#include "submit/SubmitReport.h"
#include "tests/support/TestFiles.h"

#include <atomic>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace rudtest {

// A fresh folder under the temporary folder, removed with its content on destruction.
class ScratchFolder {
public:
    explicit ScratchFolder(const std::wstring& name);
    ~ScratchFolder();
    const std::wstring& Path() const { return path_; }
    std::wstring operator/(const std::wstring& name) const { return path_ + L"\\" + name; }
private:
    std::wstring path_;
};

// The current file of a log channel ("kiv_http", "kiv_data") as written.
std::string LogFileBytes(const std::string& channel);
// Text that does not parse fails the running test.
Json::Value ParseJson(const std::string& text);
// The stand-in 7z.exe hands its work to Linux's 7zz, so it runs only under Wine.
bool SevenZipStandInAvailable();

// A client on 127.0.0.1 (ephemeral port) that takes one connection, reads the whole request
// and answers `reply`, or holds the connection unanswered while it lives when `silent`.
class ScriptedClient {
public:
    explicit ScriptedClient(std::string reply, bool silent = false);
    ~ScriptedClient();
    int Port() const { return port_; }
    std::string Request();   // once it has arrived
    bool Received() const { return received_; }   // a whole request (or a closed connection) came
private:
    SOCKET listener_;
    int port_ = 0;
    std::string request_;
    std::atomic<bool> received_{false};
    std::atomic<bool> release_{false};
    std::thread thread_;
};

// What a submission tells the artist, kept instead of shown: messages and questions in order,
// the stages and the end. Questions take the queued answers, then OK / Yes.
class RecordingReport final : public rud::ISubmitReport {
public:
    struct Told {
        std::wstring text;
        rud::MessageCaption caption;
    };
    std::vector<Told> told;
    std::vector<int32_t> stages;
    std::deque<bool> answers;
    std::wstring shownName;
    std::optional<rud::SubmitEnd> end;
    bool handedBack = false;
    std::function<void()> onHandBack;
    std::vector<std::wstring> Texts() const;
    void Stage(int32_t stage) override { stages.push_back(stage); }
    void Tell(const std::wstring& text, rud::MessageCaption caption) override { told.push_back({text, caption}); }
    bool AskOkCancel(const std::wstring& text) override { return Ask(text, rud::MessageCaption::kError); }
    bool AskYesNo(const std::wstring& text) override { return Ask(text, rud::MessageCaption::kNotice); }
    void SceneNameShown(const std::wstring& name) override { shownName = name; }
    void HandBack() override {
        handedBack = true;
        if (onHandBack) onHandBack();
    }
    void Ended(rud::SubmitEnd how) override { end = how; }
private:
    bool Ask(const std::wstring& text, rud::MessageCaption caption);
};

class WinsockSession {
public:
    WinsockSession() { WSADATA data; ::WSAStartup(MAKEWORD(2, 2), &data); }
    ~WinsockSession() { ::WSACleanup(); }
};

} // namespace rudtest
