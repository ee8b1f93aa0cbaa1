#pragma once
// Equipment for the submission tests: scratch folders and files, language texts, the main dialog
// without its logic, and a scripted client on a loopback socket.
#include <winsock2.h>
#include <windows.h>

#include <json/value.h>

#include "core/ResourceStrings.h"
#include "tests/support/MainDialogWindow.h"
#include "tests/support/TestFiles.h"

#include <atomic>
#include <string>
#include <thread>

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

class WinsockSession {
public:
    WinsockSession() { WSADATA data; ::WSAStartup(MAKEWORD(2, 2), &data); }
    ~WinsockSession() { ::WSACleanup(); }
};

} // namespace rudtest
