#include "standins/client/RequestVerdict.h"

#include "standins/client/ArchivePassword.h"
#include "standins/client/ClientSetup.h"

#include <json/reader.h>
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <vector>

namespace rudclient {
namespace {

constexpr const char* kHeadEnd = "\r\n\r\n";

bool FileExists(const std::wstring& path) {
    DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string ReadBytes(const std::wstring& path) {
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::string();
    std::string bytes;
    char buffer[65536];
    DWORD count = 0;
    while (::ReadFile(file, buffer, sizeof(buffer), &count, nullptr) && count > 0) bytes.append(buffer, count);
    ::CloseHandle(file);
    return bytes;
}

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

// Content-Length of a head, or -1.
long long ContentLength(const std::string& head) {
    const std::string name = "\r\nContent-Length: ";
    size_t at = head.find(name);
    if (at == std::string::npos) return -1;
    size_t start = at + name.size();
    size_t end = head.find("\r\n", start);
    std::string digits = head.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (digits.empty() || digits.find_first_not_of("0123456789") != std::string::npos) return -1;
    return std::atoll(digits.c_str());
}

// True when `later` was last written after `earlier` (7-Zip gives an unpacked file the time it
// was packed with).
bool WrittenLater(const std::wstring& later, const std::wstring& earlier) {
    WIN32_FILE_ATTRIBUTE_DATA a{}, b{};
    return ::GetFileAttributesExW(later.c_str(), GetFileExInfoStandard, &a) &&
           ::GetFileAttributesExW(earlier.c_str(), GetFileExInfoStandard, &b) &&
           ::CompareFileTime(&a.ftLastWriteTime, &b.ftLastWriteTime) > 0;
}

std::string FileName(const std::string& path) {
    size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string Stem(const std::string& path) {
    std::string name = FileName(path);
    size_t dot = name.rfind('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

// Runs the archiver with `arguments`; its exit code (or -1) and what it printed.
int RunSevenZip(const std::wstring& sevenZip, const std::wstring& arguments, std::string& output) {
    wchar_t tempFolder[MAX_PATH] = {}, tempFile[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, tempFolder);
    ::GetTempFileNameW(tempFolder, L"r7z", 0, tempFile);
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    HANDLE out = ::CreateFileW(tempFile, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                               CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    std::wstring commandLine = L"\"" + sevenZip + L"\" " + arguments;
    std::vector<wchar_t> buffer(commandLine.begin(), commandLine.end());
    buffer.push_back(L'\0');
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = out;
    startup.hStdError = out;
    PROCESS_INFORMATION started{};
    int exitCode = -1;
    if (::CreateProcessW(nullptr, buffer.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr,
                         &startup, &started)) {
        ::WaitForSingleObject(started.hProcess, 120000);
        DWORD code = 0;
        if (::GetExitCodeProcess(started.hProcess, &code)) exitCode = static_cast<int>(code);
        ::CloseHandle(started.hProcess);
        ::CloseHandle(started.hThread);
    }
    if (out != INVALID_HANDLE_VALUE) ::CloseHandle(out);
    output = ReadBytes(tempFile);
    ::DeleteFileW(tempFile);
    return exitCode;
}

} // namespace

bool RequestComplete(const std::string& raw) {
    size_t end = raw.find(kHeadEnd);
    if (end == std::string::npos) return false;
    long long length = ContentLength(raw.substr(0, end + 2));
    return length < 0 || raw.size() >= end + 4 + static_cast<size_t>(length);
}

Verdict CheckRequest(const std::string& raw, const VerdictContext& context) {
    Verdict verdict;
    Json::Value& record = verdict.record;
    Json::Value problems(Json::arrayValue);
    auto refuse = [&](int32_t code, const std::string& problem) {
        problems.append(problem);
        if (verdict.refusalCode == 0) verdict.refusalCode = code;
    };

    const size_t headEnd = raw.find(kHeadEnd);
    const std::string head = headEnd == std::string::npos ? raw : raw.substr(0, headEnd + 2);
    const std::string body = headEnd == std::string::npos ? std::string() : raw.substr(headEnd + 4);
    record["request_line"] = head.substr(0, head.find("\r\n"));
    record["head_valid"] = headEnd != std::string::npos && head.rfind("POST / HTTP/1.1\r\n", 0) == 0 &&
                           head.find("\r\nHost: ") != std::string::npos;
    if (!record["head_valid"].asBool()) refuse(11000, "the HTTP head is not a POST / HTTP/1.1 with a Host");
    const long long length = ContentLength(head);
    record["content_length"] = Json::Int64(length);
    record["body_bytes"] = Json::UInt64(body.size());
    record["content_length_valid"] = length >= 0 && static_cast<size_t>(length) == body.size();
    if (!record["content_length_valid"].asBool()) refuse(11000, "Content-Length does not match the body");

    Json::Value request;
    Json::Reader reader;
    const bool bodyParsed = reader.parse(body, request) && request.isObject();
    bool bodyValid = bodyParsed;
    for (const char* key : {"scenePath", "filePath", "maxVersion", "compressPath"})
        bodyValid = bodyValid && request[key].isString();
    bodyValid = bodyValid && request["PLUGIN_SAVE_SCENE_FILE"].isUInt();
    record["body_valid"] = bodyValid;
    if (bodyParsed) record["body"] = request;
    if (!bodyValid) {
        refuse(11000, "the body is not the expected JSON object");
        record["problems"] = problems;
        return verdict;
    }

    const std::string scenePath = request["scenePath"].asString();
    const std::string taskPath = request["filePath"].asString();
    const std::string archivePath = request["compressPath"].asString();

    record["scene_exists"] = FileExists(FromUtf8(scenePath));
    if (!record["scene_exists"].asBool()) refuse(10005, "the scene copy does not exist");

    const std::string taskBytes = ReadBytes(FromUtf8(taskPath));
    record["task_file_exists"] = FileExists(FromUtf8(taskPath));
    Json::Value task;
    record["task_file_valid"] = reader.parse(taskBytes, task) && task.isObject();
    record["task_file_crlf"] = taskBytes.find("\r\n") != std::string::npos &&
                               taskBytes.find('\n') == taskBytes.find("\r\n") + 1;
    if (!record["task_file_exists"].asBool()) refuse(10006, "the task description file does not exist");
    else if (!record["task_file_valid"].asBool()) refuse(10007, "the task description file does not parse");
    else record["task"] = task;

    const std::wstring archive = FromUtf8(archivePath);
    const std::string password = ExpectedArchivePassword(context.userName, Stem(scenePath));
    // A password is always given, so that 7-Zip never waits for one on a protected archive.
    const std::wstring passwordSwitch = L"-p" + FromUtf8(password.empty() ? std::string("none") : password);
    std::string output;
    record["archive_exists"] = FileExists(archive);
    record["archive_valid"] = record["archive_exists"].asBool() &&
        RunSevenZip(context.sevenZip, L"t " + passwordSwitch + L" \"" + archive + L"\"", output) == 0;
    // The archive must hold the scene copy itself: unpack it and compare the bytes.
    bool holdsScene = false;
    bool savedSince = false;   // the scene on disk is a later save than the one packed
    if (record["archive_valid"].asBool()) {
        wchar_t temp[MAX_PATH] = {};
        ::GetTempPathW(MAX_PATH, temp);
        const std::wstring unpacked = std::wstring(temp) + L"rud-client-unpacked-" + std::to_wstring(::GetCurrentProcessId());
        RemoveTree(unpacked);
        ::CreateDirectoryW(unpacked.c_str(), nullptr);
        RunSevenZip(context.sevenZip, L"e -y " + passwordSwitch + L" \"-o" + unpacked + L"\" \"" + archive + L"\"", output);
        const std::string copy = ReadBytes(unpacked + L"\\" + FromUtf8(FileName(scenePath)));
        holdsScene = !copy.empty() && copy == ReadBytes(FromUtf8(scenePath));
        savedSince = !copy.empty() && !holdsScene &&
                     WrittenLater(FromUtf8(scenePath), unpacked + L"\\" + FromUtf8(FileName(scenePath)));
        // Which state of the scene was packed, for a story whose artist saves on meanwhile.
        record["archive_scene_head"] = copy.substr(0, std::min(copy.find('\n'), size_t{200}));
        RemoveTree(unpacked);
    }
    record["archive_holds_scene"] = holdsScene;
    // The client takes the archive as it comes; the comparison above is this stand-in's own
    // check. A scene the artist saved again after the state that was packed (working on while a
    // copy is packed) is newer than its archive: that is no reason to turn the task down.
    record["scene_saved_after_packing"] = savedSince;
    if (!holdsScene && !savedSince) refuse(11000, "the archive is missing, broken or does not hold the scene");
    record["problems"] = problems;
    return verdict;
}

} // namespace rudclient
