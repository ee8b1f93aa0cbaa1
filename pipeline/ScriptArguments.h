#pragma once
// What a script passes to submit, checked by the dialog's own rules before anything is saved.
#include "submit/SubmitOrder.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace rud {

class RUDRenderingDataMgr;
struct RenderModeChoice;

// The arguments as the script gave them; a default stands for what the dialog would offer.
struct ScriptSubmitArguments {
    std::optional<std::vector<std::wstring>> cameras;   // none: the cameras the dialog would tick
    std::wstring mode = L"none";                         // none, blocks, distributed, distributedPro
    std::vector<std::wstring> channels;                  // color, ao, mtl, gi, psd
    double aoRadius = 1000.0;
    int32_t aoSubdivs = 16;
    double gamma = 0.0;            // 0: the scene's own
    int32_t coronaPasses = 0;      // 0 everywhere: the scene's own limits
    double coronaHours = 0.0;
    double coronaNoise = 0.0;
    int32_t imageScale = 100;      // percent: 100, 50, 33 or 25
    std::wstring sceneName;        // empty: the open scene as it is
    bool backupAndCheck = false;
    bool saveFirst = true;
    bool wait = true;
    bool replaceOtherFile = false;
    bool acceptReferenceProblems = false;
};

struct CheckedOrder {
    int32_t code = 0;          // 0 when the order may run, else a ScriptResult / SubmitResult
    std::wstring message;      // why not
    SubmitOrder order;
    const RenderModeChoice* mode = nullptr;
};

// Checks every argument against the analysed scene in the store and builds the order, which holds
// its own copy of that analysis and of the client's information. The typed name is judged
// against the open scene's path.
CheckedOrder CheckScriptArguments(const ScriptSubmitArguments& arguments, RUDRenderingDataMgr& store,
                                  const std::wstring& openScenePath);

} // namespace rud
