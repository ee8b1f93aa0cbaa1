// Stand-in for the farm's desktop client, for tests and demonstrations under Wine. It installs
// what the real client installs for the plug-in (data folder, settings, cache tree, shared-memory
// records), listens on 127.0.0.1:<port>, checks each request like the client would, records it
// and answers with a chosen result code. It never starts the plug-in.
//
//   rud_client_standin.exe --port N [--answer CODE] [--err TEXT] [--silent] [--once | --requests N]
//                          [--record DIR] [--user NAME] [--save-path DIR] [--lower-version V]
//                          [--sevenzip PATH] [--setup-only]
//                          [--reply json|silent|close|text|oversize|unknown-code|no-ret]
//                          [--no-listen] [--no-records] [--settings missing|no-port|utf16]
//                          [--custom-bin garbage] [--no-sevenzip] [--no-checks]
//                          [--refuse N[:CODE]]
//
// --refuse N[:CODE] answers the N-th request (1 for the first) with CODE (10009, "already
// submitted", when not given) whatever its checks found, as the farm turns down one task of many.
// --no-checks answers at once without testing the archive (for timing the plug-in alone).
// The last lines play a client that misbehaves or a damaged installation, for the fault tests:
//   --reply silent     take the request and never answer (the same as --silent)
//   --reply close      take the request and close the connection without a reply
//   --reply text       answer an HTTP error whose body is text, not JSON
//   --reply oversize   answer a JSON reply of more than 2048 bytes
//   --reply unknown-code  answer 10011, a code a newer client might send and the plug-in does not know
//   --reply no-ret     answer a JSON object without "ret"
//   --no-listen        install and publish, but take no connection (a client that is not running)
//   --no-records       publish no shared-memory records
//   --settings ...     the settings file missing, without "port", or written as UTF-16
//   --custom-bin garbage, --no-sevenzip: "custom.bin" holding random bytes, 7-Zip removed
#include <winsock2.h>
#include <windows.h>
#include <shellapi.h>

#include "standins/client/ClientSetup.h"
#include "standins/client/InstallFaults.h"
#include "standins/client/RequestVerdict.h"

#include <json/writer.h>

#include <cstdio>
#include <cwchar>
#include <memory>
#include <string>
#include <vector>

namespace rudclient {
namespace {

enum class ReplyMode { kJson, kSilent, kClose, kText, kOversize, kUnknownCode, kNoRet };

constexpr int kUnknownCode = 10011;

struct Options {
    SetupOptions setup;
    InstallFaults faults;
    int answer = 10001;
    std::wstring errorText = L"The farm refused the task.";
    ReplyMode reply = ReplyMode::kJson;
    bool listen = true;
    bool publishRecords = true;
    bool checks = true;
    int requests = 0;   // 0: serve until killed
    int refuseRequest = 0;   // this request (1 for the first) is refused with refuseCode
    int refuseCode = 10009;
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
        else if (name == L"--silent") options.reply = ReplyMode::kSilent;
        else if (name == L"--reply") {
            const std::wstring mode = value();
            if (mode == L"json") options.reply = ReplyMode::kJson;
            else if (mode == L"silent") options.reply = ReplyMode::kSilent;
            else if (mode == L"close") options.reply = ReplyMode::kClose;
            else if (mode == L"text") options.reply = ReplyMode::kText;
            else if (mode == L"oversize") options.reply = ReplyMode::kOversize;
            else if (mode == L"unknown-code") options.reply = ReplyMode::kUnknownCode;
            else if (mode == L"no-ret") options.reply = ReplyMode::kNoRet;
            else { std::fprintf(stderr, "client: unknown reply mode %ls\n", mode.c_str()); ok = false; }
        }
        else if (name == L"--no-listen") options.listen = false;
        else if (name == L"--no-records") options.publishRecords = false;
        else if (name == L"--settings") {
            options.faults.settings = value();
            if (!KnownSettingsFault(options.faults.settings)) {
                std::fprintf(stderr, "client: unknown settings fault %ls\n", options.faults.settings.c_str());
                ok = false;
            }
        }
        else if (name == L"--custom-bin") options.faults.garbageCustomBin = value() == L"garbage";
        else if (name == L"--no-sevenzip") options.faults.noSevenZip = true;
        else if (name == L"--no-checks") options.checks = false;
        else if (name == L"--once") options.requests = 1;
        else if (name == L"--requests") options.requests = _wtoi(value().c_str());
        else if (name == L"--refuse") {   // N or N:CODE
            const std::wstring refusal = value();
            options.refuseRequest = _wtoi(refusal.c_str());
            const size_t colon = refusal.find(L':');
            if (colon != std::wstring::npos) options.refuseCode = _wtoi(refusal.c_str() + colon + 1);
        }
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
std::string Reply(ReplyMode mode, int code, const std::wstring& errorText) {
    if (mode == ReplyMode::kText) {
        const std::string text = "Internal Server Error: the task queue is not available.";
        return "HTTP/1.1 500 Internal Server Error\r\nContent-Type: text/plain\r\nContent-Length: " +
               std::to_string(text.size()) + "\r\nConnection: close\r\n\r\n" + text;
    }
    Json::Value body(Json::objectValue);
    if (mode == ReplyMode::kNoRet) body["state"] = "queued";
    else body["ret"] = code;
    if (code == 10010) body["err"] = ToUtf8(errorText);
    if (mode == ReplyMode::kOversize) body["zz_queue"] = std::string(3000, 'q');   // after "ret" in the text
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
        Verdict verdict;
        if (options.checks) verdict = CheckRequest(raw, context);
        else verdict.record["checked"] = false;
        int answer = verdict.refusalCode != 0 ? verdict.refusalCode : options.answer;
        if (options.reply == ReplyMode::kUnknownCode) answer = kUnknownCode;
        if (served + 1 == options.refuseRequest) answer = options.refuseCode;
        const bool answers = options.reply != ReplyMode::kSilent && options.reply != ReplyMode::kClose;
        const bool coded = answers && options.reply != ReplyMode::kNoRet;
        verdict.record["answer"] = coded ? Json::Value(answer) : Json::Value();
        WriteRecordFile(options, L"verdict-" + number + L".json", Json::StyledWriter().write(verdict.record));
        if (options.reply == ReplyMode::kSilent) {
            unanswered.push_back(client);
            continue;
        }
        if (answers) {
            const std::string reply = Reply(options.reply, answer, options.errorText);
            ::send(client, reply.data(), static_cast<int>(reply.size()), 0);
        }
        ::shutdown(client, SD_SEND);
        ::closesocket(client);
    }
    if (options.reply == ReplyMode::kSilent) ::Sleep(INFINITE);   // keep the connections open until we are killed
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
                             " [--lower-version V] [--sevenzip PATH] [--setup-only]"
                             " [--reply json|silent|close|text|oversize|unknown-code|no-ret] [--no-listen] [--no-records]"
                             " [--settings missing|no-port|utf16] [--custom-bin garbage] [--no-sevenzip] [--no-checks] [--refuse N[:CODE]]\n");
        return 2;
    }
    if (!LayOutDataFolder(options.setup) || !LayOutCacheTree() || !ApplyInstallFaults(options.faults)) return 3;
    if (options.setupOnly) return 0;
    std::unique_ptr<SharedRecords> records;
    if (options.publishRecords) {
        records = std::make_unique<SharedRecords>(options.userName, options.savePath);
        if (!records->Published()) std::fprintf(stderr, "client: cannot publish the shared-memory records\n");
    }
    if (!options.listen) {
        // Installed but not running its service: nothing listens on the port.
        WriteRecordFile(options, L"ready", "not listening\n");
        ::Sleep(INFINITE);
    }
    return Serve(options);
}
