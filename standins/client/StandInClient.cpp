// Stand-in for the farm's desktop client, for tests and demonstrations under Wine. It installs
// what the real client installs for the plug-in (data folder, settings, cache tree, shared-memory
// records), listens on 127.0.0.1:<port>, checks each request like the client would, records it
// and answers with a chosen result code. It never starts the plug-in.
//
//   rud_client_standin.exe --port N [--answer CODE] [--err TEXT] [--silent] [--once | --requests N]
//                          [--record DIR] [--user NAME] [--save-path DIR] [--lower-version V]
//                          [--sevenzip PATH] [--setup-only]
#include <winsock2.h>
#include <windows.h>
#include <shellapi.h>

#include "standins/client/ClientSetup.h"
#include "standins/client/RequestVerdict.h"

#include <json/writer.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace rudclient {
namespace {

struct Options {
    SetupOptions setup;
    int answer = 10001;
    std::wstring errorText = L"The farm refused the task.";
    bool silent = false;
    int requests = 0;   // 0: serve until killed
    std::wstring recordFolder;
    std::wstring userName = L"artist";
    std::wstring savePath;
    bool setupOnly = false;
};

std::wstring OwnFolder() {
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    return folder.substr(0, folder.find_last_of(L"\\/"));
}

bool ParseOptions(Options& options) {
    int count = 0;
    wchar_t** args = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (!args) return false;
    options.setup.sevenZipSource = OwnFolder() + L"\\7z.exe";
    bool ok = true;
    for (int i = 1; i < count; ++i) {
        const std::wstring name = args[i];
        auto value = [&]() -> std::wstring {
            if (i + 1 < count) return args[++i];
            ok = false;
            return std::wstring();
        };
        if (name == L"--port") options.setup.port = _wtoi(value().c_str());
        else if (name == L"--answer") options.answer = _wtoi(value().c_str());
        else if (name == L"--err") options.errorText = value();
        else if (name == L"--silent") options.silent = true;
        else if (name == L"--once") options.requests = 1;
        else if (name == L"--requests") options.requests = _wtoi(value().c_str());
        else if (name == L"--record") options.recordFolder = value();
        else if (name == L"--user") options.userName = value();
        else if (name == L"--save-path") options.savePath = value();
        else if (name == L"--lower-version") options.setup.lowerVersion = value();
        else if (name == L"--sevenzip") options.setup.sevenZipSource = value();
        else if (name == L"--setup-only") options.setupOnly = true;
        else { std::fprintf(stderr, "client: unknown option %ls\n", name.c_str()); ok = false; }
    }
    ::LocalFree(args);
    return ok && options.setup.port > 0 && options.setup.port <= 65535;
}

void WriteRecordFile(const Options& options, const std::wstring& name, const std::string& bytes) {
    if (options.recordFolder.empty()) return;
    const std::wstring path = options.recordFolder + L"\\" + name;
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    ::CloseHandle(file);
}

std::string ReadRequest(SOCKET client) {
    DWORD timeout = 30000;
    ::setsockopt(client, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout), sizeof(timeout));
    std::string raw;
    char buffer[8192];
    while (!RequestComplete(raw)) {
        int count = ::recv(client, buffer, sizeof(buffer), 0);
        if (count <= 0) break;
        raw.append(buffer, static_cast<size_t>(count));
    }
    return raw;
}

// The reply in one send, as the plug-in reads it with one receive.
std::string Reply(int code, const std::wstring& errorText) {
    Json::Value body(Json::objectValue);
    body["ret"] = code;
    if (code == 10010) body["err"] = ToUtf8(errorText);
    Json::StreamWriterBuilder builder;
    builder["indentation"] = "";
    builder["emitUTF8"] = true;
    const std::string json = Json::writeString(builder, body);
    return "HTTP/1.1 200 OK\r\nContent-Type: application/json;charset=utf-8\r\nContent-Length: " +
           std::to_string(json.size()) + "\r\nConnection: close\r\n\r\n" + json;
}

int Serve(const Options& options) {
    WSADATA wsa{};
    if (::WSAStartup(MAKEWORD(2, 2), &wsa) != 0) return 3;
    SOCKET listener = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = ::inet_addr("127.0.0.1");
    address.sin_port = ::htons(static_cast<u_short>(options.setup.port));
    if (listener == INVALID_SOCKET || ::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 ||
        ::listen(listener, 8) != 0) {
        std::fprintf(stderr, "client: cannot listen on port %d (%d)\n", options.setup.port, ::WSAGetLastError());
        return 3;
    }
    WriteRecordFile(options, L"ready", "listening\n");
    std::printf("client: listening on 127.0.0.1:%d\n", options.setup.port);
    std::fflush(stdout);

    const VerdictContext context{DataFolder() + L"\\7-Zip\\7z.exe", options.userName};
    std::vector<SOCKET> unanswered;   // --silent: connections held open, never answered
    for (int served = 0; options.requests == 0 || served < options.requests; ++served) {
        SOCKET client = ::accept(listener, nullptr, nullptr);
        if (client == INVALID_SOCKET) break;
        const std::string raw = ReadRequest(client);
        const std::wstring number = std::to_wstring(served + 1);
        WriteRecordFile(options, L"request-" + number + L".http", raw);
        Verdict verdict = CheckRequest(raw, context);
        const int answer = verdict.refusalCode != 0 ? verdict.refusalCode : options.answer;
        verdict.record["answer"] = options.silent ? Json::Value() : Json::Value(answer);
        WriteRecordFile(options, L"verdict-" + number + L".json", Json::StyledWriter().write(verdict.record));
        if (options.silent) {
            unanswered.push_back(client);
            continue;
        }
        const std::string reply = Reply(answer, options.errorText);
        ::send(client, reply.data(), static_cast<int>(reply.size()), 0);
        ::shutdown(client, SD_SEND);
        ::closesocket(client);
    }
    if (options.silent) ::Sleep(INFINITE);   // keep the connections open until we are killed
    for (SOCKET s : unanswered) ::closesocket(s);
    ::closesocket(listener);
    ::WSACleanup();
    return 0;
}

} // namespace
} // namespace rudclient

int main() {
    using namespace rudclient;
    Options options;
    if (!ParseOptions(options)) {
        std::fprintf(stderr, "usage: rud_client_standin.exe --port N [--answer CODE] [--err TEXT] [--silent]"
                             " [--once | --requests N] [--record DIR] [--user NAME] [--save-path DIR]"
                             " [--lower-version V] [--sevenzip PATH] [--setup-only]\n");
        return 2;
    }
    if (!LayOutDataFolder(options.setup) || !LayOutCacheTree()) return 3;
    if (options.setupOnly) return 0;
    SharedRecords records(options.userName, options.savePath);
    if (!records.Published()) std::fprintf(stderr, "client: cannot publish the shared-memory records\n");
    return Serve(options);
}
