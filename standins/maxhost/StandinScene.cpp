#include "StandinScene.h"

#include "HostOutput.h"
#include "HostSave.h"

#include "MaxStandin.h"
#include <notify.h>

#include <fstream>
#include <string>

namespace maxhost {
namespace {

bool FileExists(const std::wstring& path) {
    DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool WriteText(const std::wstring& to, const std::string& text) {
    std::ofstream out(to.c_str(), std::ios::binary | std::ios::trunc);
    out << text;
    return static_cast<bool>(out);
}

// A scene the stand-in has never seen on disk is written as a small placeholder file.
bool WriteScene(const std::wstring& from, const std::wstring& to) {
    if (!from.empty() && FileExists(from)) {
        if (from == to) return true;
        return ::CopyFileW(from.c_str(), to.c_str(), FALSE) != 0;
    }
    return WriteText(to, "3ds Max stand-in scene\n");
}

// What a numbered save writes after its own line: the content of `from`, less the line of an
// earlier numbered save, so that a large scene keeps its size from save to save.
bool CopyContentAfterSaveLine(std::ifstream& in, std::ofstream& out) {
    std::string head(32, '\0');
    in.read(&head[0], static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<size_t>(in.gcount()));
    size_t lineEnd = head.find('\n');
    if (head.compare(0, 5, "save ") == 0 && lineEnd != std::string::npos && lineEnd > 5 &&
        head.find_first_not_of("0123456789", 5) == lineEnd)
        head.erase(0, lineEnd + 1);
    out << head;
    // Streaming an empty rest would mark the output failed.
    if (in && in.peek() != std::char_traits<char>::eof()) out << in.rdbuf();
    return static_cast<bool>(out);
}

// "save N" on a line of its own, then what `from` held (see above), written in place like any
// save. A save over the file itself reads the former content from a copy set aside first.
bool WriteNumberedSave(const std::wstring& from, const std::wstring& to, int number) {
    std::wstring source = from;
    std::wstring aside;
    if (!from.empty() && FileExists(from) && ::lstrcmpiW(from.c_str(), to.c_str()) == 0) {
        wchar_t temp[MAX_PATH + 1] = {};
        aside = std::wstring(temp, ::GetTempPathW(MAX_PATH + 1, temp)) + L"standin-save-" +
                std::to_wstring(::GetCurrentProcessId()) + L".tmp";
        if (!::CopyFileW(from.c_str(), aside.c_str(), FALSE)) return false;
        source = aside;
    }
    bool written = false;
    {
        std::ofstream out(to.c_str(), std::ios::binary | std::ios::trunc);
        out << "save " << number << "\n";
        std::ifstream in;
        if (!source.empty() && FileExists(source)) in.open(source.c_str(), std::ios::binary);
        written = static_cast<bool>(out) && (!in.is_open() || CopyContentAfterSaveLine(in, out));
    }
    if (!aside.empty()) ::DeleteFileW(aside.c_str());
    return written;
}

} // namespace

StandinScene::StandinScene(const std::wstring& scenePath, bool failSave, unsigned saveMilliseconds, bool saveWrites)
    : failSave_(failSave), saveMilliseconds_(saveMilliseconds), saveWrites_(saveWrites) {
    SetPath(scenePath);
}

void StandinScene::SetPath(const std::wstring& path) {
    path_ = path.c_str();
    size_t slash = path.find_last_of(L"\\/");
    name_ = (slash == std::wstring::npos ? path : path.substr(slash + 1)).c_str();
}

// As 3ds Max does, a save writes the whole file, also over the open scene's own; under
// --save-writes each save's first line tells which save it was, and the scene keeps its size.
bool StandinScene::Write(const std::wstring& from, const std::wstring& to) {
    if (!saveWrites_) return WriteScene(from, to);
    return WriteNumberedSave(from, to, ++saves_);
}

std::wstring StandinScene::ScenePath() {
    std::lock_guard<std::mutex> guard(lock_);
    return path_.data();
}

MSTR& StandinScene::GetCurFileName() {
    maxstandin::RequireHostThread("Interface::GetCurFileName");
    std::lock_guard<std::mutex> guard(lock_);
    return name_;
}

MSTR& StandinScene::GetCurFilePath() {
    maxstandin::RequireHostThread("Interface::GetCurFilePath");
    std::lock_guard<std::mutex> guard(lock_);
    return path_;
}

BOOL StandinScene::FileSave() {
    maxstandin::RequireHostThread("Interface::FileSave");
    return SaveInPlace();
}

int StandinScene::SaveToFile(const MCHAR* fileName, BOOL, BOOL useNewFile) {
    maxstandin::RequireHostThread("Interface::SaveToFile");
    return SaveAs(fileName ? fileName : L"", useNewFile != FALSE);
}

BOOL StandinScene::SaveInPlace() {
    std::wstring path = ScenePath();
    HostSave save("Interface::FileSave", path);
    PrintLine(L"SAVE " + path);
    ::Sleep(saveMilliseconds_);  // the host is busy saving: its thread runs nothing else meanwhile
    if (failSave_ || path.empty() || !Write(path, path)) return FALSE;
    save.Succeeded();
    return TRUE;
}

int StandinScene::SaveAs(const std::wstring& target, bool useNewFile) {
    HostSave save("Interface::SaveToFile", target);
    PrintLine(L"SAVETO " + target);
    ::Sleep(saveMilliseconds_);
    if (failSave_ || target.empty()) return 0;
    if (!Write(ScenePath(), target)) return 0;
    if (useNewFile) {
        std::lock_guard<std::mutex> guard(lock_);
        SetPath(target);
    }
    save.Succeeded();
    return 1;
}

// As 3ds Max: the handlers hear of the open before and after it, with the kind of file
// (0, a scene) as the notifications' parameter; from then on the scene has the new file's name.
bool StandinScene::Open(const std::wstring& path) {
    if (!FileExists(path)) return false;
    maxstandin::HostOperationScope operation("host-open");
    int sceneFile = 0;
    BroadcastNotification(NOTIFY_FILE_PRE_OPEN, &sceneFile);
    PrintLine(L"OPEN " + path);
    {
        std::lock_guard<std::mutex> guard(lock_);
        SetPath(path);
    }
    BroadcastNotification(NOTIFY_FILE_POST_OPEN, &sceneFile);
    return true;
}

void StandinScene::Reset() {
    maxstandin::HostOperationScope operation("host-reset");
    BroadcastNotification(NOTIFY_SYSTEM_PRE_RESET);
    PrintLine(L"RESET");
    {
        std::lock_guard<std::mutex> guard(lock_);
        SetPath(L"");
    }
    BroadcastNotification(NOTIFY_SYSTEM_POST_RESET);
}

} // namespace maxhost
