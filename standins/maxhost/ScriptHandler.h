#pragma once
// What MAXScript does in the stand-in host: the analysis script writes a prepared analysis,
// the virus-check scripts are recorded, anything else fails.
#include <functional>
#include <string>

namespace maxhost {

struct ScriptSettings {
    std::wstring analysisPath;                  // prepared analysis JSON (empty: none)
    std::function<std::wstring()> scenePath;    // the open scene, for the analysis "name"
};

void InstallScriptHandler(ScriptSettings& settings);

// The analysis document with its top-level "name" replaced; unparsable text stays as it is.
std::string RenameAnalysis(const std::string& json, const std::wstring& scenePath);

} // namespace maxhost
