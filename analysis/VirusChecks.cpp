#include "analysis/VirusChecks.h"

#include "host/HostOperations.h"

#include <string>

namespace rud {

void RunVirusChecks(LogChannel& log, const ClientInfo& clientInfo) {
    (void)RunVirusChecks(log, clientInfo, {});
}

bool RunVirusChecks(LogChannel& log, const ClientInfo& clientInfo, const std::function<bool()>& stopBefore) {
    struct VirusScript {
        const std::wstring& path;
        const char* logLine;
    };
    const VirusScript scripts[] = {
        {clientInfo.adslScriptPath, "Check ADSL virus for scene"},
        {clientInfo.alcScriptPath, "Check ALC virus for scene"},
        {clientInfo.crpScriptPath, "Check CRP virus for scene"},
    };
    std::unique_ptr<IScriptValue> value = Host().CreateScriptValue();
    for (const VirusScript& script : scripts) {
        if (stopBefore && stopBefore()) return false;
        // A missing or failing script is the host's to report; the others still run.
        if (value) (void)Host().ExecuteMAXScript(L"fileIn \"" + script.path + L"\"", *value);
        log.write(script.logLine, "WARN");
    }
    return true;
}

} // namespace rud
