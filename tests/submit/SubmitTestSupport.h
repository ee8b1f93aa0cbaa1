#pragma once
// Equipment for the submission tests: scratch folders, file reading, a window standing in for
// the main dialog, a scripted client on a loopback socket, and the stand-in client as a process.
#include <winsock2.h>
#include <windows.h>

#include <atomic>
#include <map>
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

void RemoveTree(const std::wstring& path);
std::string ReadFileBytes(const std::wstring& path);
void WriteFileBytes(const std::wstring& path, const std::string& bytes);
bool FileExists(const std::wstring& path);
std::vector<std::wstring> FilesIn(const std::wstring& folder);
// The text of a "kiv_http" / "kiv_data" log file as written (bytes).
std::string LogFileBytes(const std::string& channel);

// A top-level window with the main dialog's controls (check boxes, edits, radios, the image
// scale combo box, the camera list view). WM_CLOSE destroys it and sets `closed`.
class TestDialog {
public:
    TestDialog();
    ~TestDialog();
    HWND Handle() const { return window_; }
    void Check(int id, bool checked);
    void SetText(int id, const std::wstring& text);
    void SelectImageScale(int position);
    void AddCamera(const std::wstring& name, bool checked);
    bool Closed() const { return closed_; }
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
private:
    HWND window_ = nullptr;
    bool closed_ = false;
};

// Pumps this thread's messages until `done` turns true (or a generous limit passes).
template <typename Predicate>
bool PumpUntil(Predicate done, DWORD limitMs = 180000) {
    const DWORD start = ::GetTickCount();
    while (!done()) {
        MSG message;
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
        if (::GetTickCount() - start > limitMs) return false;
        ::Sleep(5);
    }
    return true;
}

// A client on 127.0.0.1 (ephemeral port) that takes one connection, reads the whole request
// and answers with `reply` bytes, or holds the connection without answering when `silent`.
class ScriptedClient {
public:
    explicit ScriptedClient(std::string reply, bool silent = false);
    ~ScriptedClient();
    int Port() const { return port_; }
    std::string Request();   // waits for the reader to finish
private:
    SOCKET listener_ = INVALID_SOCKET;
    int port_ = 0;
    std::string reply_;
    bool silent_;
    std::string request_;
    std::atomic<bool> finished_{false};
    std::atomic<bool> release_{false};
    std::thread thread_;
};

// The stand-in desktop client started as a process (killed, by its handle, on destruction).
class StandInClientProcess {
public:
    StandInClientProcess(int port, const std::wstring& recordFolder, const std::wstring& extraArguments);
    ~StandInClientProcess();
    bool WaitReady();   // its "ready" file appears once it listens
    bool WaitExit(DWORD ms);
private:
    HANDLE process_ = nullptr;
    std::wstring recordFolder_;
};

// True when the stand-in client and 7-Zip are built beside the test program and can run (they
// hand their work to Linux programs, so only under Wine).
bool StandInsAvailable();

// A port for one test's stand-in client, away from the usual ones.
int PickPort();

class WinsockSession {
public:
    WinsockSession() { WSADATA data; ::WSAStartup(MAKEWORD(2, 2), &data); }
    ~WinsockSession() { ::WSACleanup(); }
};

} // namespace rudtest
