#include "tests/submit/SubmitTestSupport.h"

#include "core/LogChannel.h"
#include "tests/support/MessageBoxRecorder.h"

#include <commctrl.h>

#include <cstdio>

namespace rudtest {

ScratchFolder::ScratchFolder(const std::wstring& name) {
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    path_ = std::wstring(temp) + L"rud-submit-" + name + L"-" + std::to_wstring(::GetCurrentProcessId());
    RemoveTree(path_);
    ::CreateDirectoryW(path_.c_str(), nullptr);
}

ScratchFolder::~ScratchFolder() { RemoveTree(path_); }

void RemoveTree(const std::wstring& path) {
    WIN32_FIND_DATAW found{};
    HANDLE search = ::FindFirstFileW((path + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..") continue;
            const std::wstring child = path + L"\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) RemoveTree(child);
            else ::DeleteFileW(child.c_str());
        } while (::FindNextFileW(search, &found));
        ::FindClose(search);
    }
    ::RemoveDirectoryW(path.c_str());
}

std::string ReadFileBytes(const std::wstring& path) {
    std::string bytes;
    if (FILE* file = _wfopen(path.c_str(), L"rb")) {
        char buffer[65536];
        size_t count;
        while ((count = std::fread(buffer, 1, sizeof(buffer), file)) > 0) bytes.append(buffer, count);
        std::fclose(file);
    }
    return bytes;
}

void WriteFileBytes(const std::wstring& path, const std::string& bytes) {
    if (FILE* file = _wfopen(path.c_str(), L"wb")) {
        std::fwrite(bytes.data(), 1, bytes.size(), file);
        std::fclose(file);
    }
}

bool FileExists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::vector<std::wstring> FilesIn(const std::wstring& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found{};
    HANDLE search = ::FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(found.cFileName);
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
    return names;
}

std::string LogFileBytes(const std::string& channel) {
    rud::LogChannel log(channel, 2, 5, 0);
    const std::string narrow = log.BasePath() + ".log";
    wchar_t wide[1024] = {};
    ::MultiByteToWideChar(936, 0, narrow.c_str(), -1, wide, 1024);
    return ReadFileBytes(wide);
}

// ---- TestDialog ----

namespace {

const wchar_t kTestDialogClass[] = L"RudSubmitTestDialog";
const int kCheckBoxes[] = {1000, 1001, 1002, 1043, 1044, 1051, 1053, 1056};
const int kRadios[] = {1030, 1031, 1032, 1033};
const int kEdits[] = {1036, 1037, 1039, 1040, 1045, 1047, 1054, 1075};

} // namespace

LRESULT CALLBACK TestDialog::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CLOSE) {
        if (auto* self = reinterpret_cast<TestDialog*>(::GetWindowLongPtrW(window, GWLP_USERDATA))) {
            self->closed_ = true;
            self->window_ = nullptr;
        }
        ::DestroyWindow(window);
        return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

TestDialog::TestDialog() {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = &TestDialog::Procedure;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kTestDialogClass;
    ::RegisterClassW(&windowClass);
    window_ = ::CreateWindowExW(0, kTestDialogClass, L"submit test", WS_OVERLAPPEDWINDOW, 0, 0, 800, 600,
                                nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    ::SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    auto child = [&](const wchar_t* className, DWORD style, int id) {
        ::CreateWindowExW(0, className, L"", WS_CHILD | WS_VISIBLE | style, 0, 0, 100, 20, window_,
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ::GetModuleHandleW(nullptr), nullptr);
    };
    for (int id : kCheckBoxes) child(L"BUTTON", BS_AUTOCHECKBOX, id);
    for (int id : kRadios) child(L"BUTTON", BS_AUTORADIOBUTTON, id);
    for (int id : kEdits) child(L"EDIT", ES_AUTOHSCROLL, id);
    child(L"COMBOBOX", CBS_DROPDOWNLIST, 1057);
    for (const wchar_t* item : {L"100%", L"50%", L"33%", L"25%"})
        ::SendDlgItemMessageW(window_, 1057, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    child(WC_LISTVIEWW, LVS_REPORT, 1006);
    HWND table = ::GetDlgItem(window_, 1006);
    ListView_SetExtendedListViewStyle(table, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.cx = 100;
    column.pszText = const_cast<wchar_t*>(L"Camera");
    ::SendMessageW(table, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
    SetText(1040, L"1000.0");
    SetText(1037, L"16");
    SetText(1039, L"2.2");
}

TestDialog::~TestDialog() {
    if (window_) {
        ::SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
        ::DestroyWindow(window_);
    }
}

void TestDialog::Check(int id, bool checked) { ::CheckDlgButton(window_, id, checked ? BST_CHECKED : BST_UNCHECKED); }
void TestDialog::SetText(int id, const std::wstring& text) { ::SetDlgItemTextW(window_, id, text.c_str()); }
void TestDialog::SelectImageScale(int position) { ::SendDlgItemMessageW(window_, 1057, CB_SETCURSEL, position, 0); }

void TestDialog::AddCamera(const std::wstring& name, bool checked) {
    HWND table = ::GetDlgItem(window_, 1006);
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = static_cast<int>(::SendMessageW(table, LVM_GETITEMCOUNT, 0, 0));
    item.pszText = const_cast<wchar_t*>(name.c_str());
    const int row = static_cast<int>(::SendMessageW(table, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    ListView_SetCheckState(table, row, checked ? TRUE : FALSE);
}

// ---- ScriptedClient ----

ScriptedClient::ScriptedClient(std::string reply, bool silent) : reply_(std::move(reply)), silent_(silent) {
    listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = ::inet_addr("127.0.0.1");
    address.sin_port = 0;
    ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof(address));
    ::listen(listener_, 1);
    int length = sizeof(address);
    ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ::ntohs(address.sin_port);
    thread_ = std::thread([this] {
        SOCKET client = ::accept(listener_, nullptr, nullptr);
        if (client == INVALID_SOCKET) { finished_ = true; return; }
        DWORD timeout = 10000;
        ::setsockopt(client, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout), sizeof(timeout));
        char buffer[4096];
        for (;;) {
            size_t headEnd = request_.find("\r\n\r\n");
            if (headEnd != std::string::npos) {
                size_t at = request_.find("Content-Length: ");
                size_t length = at == std::string::npos ? 0 : std::stoul(request_.substr(at + 16));
                if (request_.size() >= headEnd + 4 + length) break;
            }
            int count = ::recv(client, buffer, sizeof(buffer), 0);
            if (count <= 0) break;
            request_.append(buffer, static_cast<size_t>(count));
        }
        finished_ = true;
        if (silent_) {
            while (!release_) ::Sleep(10);
        } else {
            ::send(client, reply_.data(), static_cast<int>(reply_.size()), 0);
            ::shutdown(client, SD_SEND);
            ::Sleep(100);
        }
        ::closesocket(client);
    });
}

ScriptedClient::~ScriptedClient() {
    release_ = true;
    ::closesocket(listener_);
    if (thread_.joinable()) thread_.join();
}

std::string ScriptedClient::Request() {
    while (!finished_) ::Sleep(5);
    return request_;
}

// ---- StandInClientProcess ----

StandInClientProcess::StandInClientProcess(int port, const std::wstring& recordFolder,
                                           const std::wstring& extraArguments)
    : recordFolder_(recordFolder) {
    ::CreateDirectoryW(recordFolder.c_str(), nullptr);
    ::DeleteFileW((recordFolder + L"\\ready").c_str());
    std::wstring commandLine = L"\"" + BinFolder() + L"\\rud_client_standin.exe\" --port " + std::to_wstring(port) +
                               L" --record \"" + recordFolder + L"\" " + extraArguments;
    std::vector<wchar_t> buffer(commandLine.begin(), commandLine.end());
    buffer.push_back(L'\0');
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION started{};
    if (::CreateProcessW(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started)) {
        process_ = started.hProcess;
        ::CloseHandle(started.hThread);
    }
}

StandInClientProcess::~StandInClientProcess() {
    if (!process_) return;
    if (::WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) {
        ::TerminateProcess(process_, 1);
        ::WaitForSingleObject(process_, 10000);
    }
    ::CloseHandle(process_);
}

bool StandInClientProcess::WaitReady() {
    for (int i = 0; i < 3000 && process_; ++i) {
        if (FileExists(recordFolder_ + L"\\ready")) return true;
        if (::WaitForSingleObject(process_, 10) != WAIT_TIMEOUT) return false;
    }
    return false;
}

bool StandInClientProcess::WaitExit(DWORD ms) {
    return process_ && ::WaitForSingleObject(process_, ms) == WAIT_OBJECT_0;
}

bool StandInsAvailable() {
    const bool underWine = ::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name") != nullptr;
    return underWine && FileExists(BinFolder() + L"\\7z.exe") && FileExists(BinFolder() + L"\\rud_client_standin.exe");
}

int PickPort() {
    static int next = 20000 + static_cast<int>((::GetCurrentProcessId() * 7919u + ::GetTickCount()) % 20000u);
    return next++;
}

} // namespace rudtest
