#include "ScriptHandler.h"

#include "HostOutput.h"
#include "MaxStandin.h"

#include <json/json.h>

#include <fstream>
#include <memory>
#include <sstream>

namespace maxhost {
namespace {

// The text between the double quotes that follow `word` on a line of the script.
bool QuotedArgument(const std::wstring& script, const std::wstring& word, std::wstring& argument) {
    size_t at = script.find(word + L" \"");
    if (at == std::wstring::npos) return false;
    size_t begin = at + word.size() + 2;
    size_t end = script.find(L'"', begin);
    if (end == std::wstring::npos) return false;
    argument = script.substr(begin, end - begin);
    return true;
}

bool ReadFile(const std::wstring& path, std::string& bytes) {
    std::ifstream in(path.c_str(), std::ios::binary);
    if (!in) return false;
    std::ostringstream content;
    content << in.rdbuf();
    bytes = content.str();
    return true;
}

bool WriteFile(const std::wstring& path, const std::string& bytes) {
    std::ofstream out(path.c_str(), std::ios::binary | std::ios::trunc);
    out << bytes;
    return static_cast<bool>(out);
}

BOOL RunScript(const wchar_t* text, void* context) {
    try {
        auto& settings = *static_cast<ScriptSettings*>(context);
        std::wstring script = text;
        std::wstring loaded;
        if (!QuotedArgument(script, L"fileIn", loaded)) {
            PrintLine(L"SCRIPT (inline) failed");
            return FALSE;
        }
        PrintLine(L"SCRIPT " + loaded);
        std::wstring resultPath;
        if (!QuotedArgument(script, L"gMax.analysis", resultPath))
            return loaded.find(L"RudAntivirus") != std::wstring::npos ? TRUE : FALSE;
        std::string analysis;
        if (settings.analysisPath.empty() || !ReadFile(settings.analysisPath, analysis)) {
            PrintLine(L"ANALYSIS no prepared analysis");
            return FALSE;
        }
        std::wstring scene = settings.scenePath ? settings.scenePath() : std::wstring();
        if (!WriteFile(resultPath, RenameAnalysis(analysis, scene))) return FALSE;
        (void)WriteFile(resultPath + L".log", "analysis of " + ToUtf8(scene) + " written\n");
        PrintLine(L"ANALYSIS " + resultPath);
        return TRUE;
    } catch (...) {
        return FALSE;
    }
}

} // namespace

std::string RenameAnalysis(const std::string& json, const std::wstring& scenePath) {
    Json::CharReaderBuilder reader;
    Json::Value root;
    std::string errors;
    std::istringstream in(json);
    if (!Json::parseFromStream(reader, in, &root, &errors) || !root.isObject()) return json;
    root["name"] = ToUtf8(scenePath);
    Json::StreamWriterBuilder writer;
    writer["emitUTF8"] = true;
    writer["indentation"] = "  ";
    return Json::writeString(writer, root);
}

void InstallScriptHandler(ScriptSettings& settings) {
    maxstandin::SetScriptHandler(RunScript, &settings);
}

} // namespace maxhost
