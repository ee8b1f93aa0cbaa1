#pragma once
// The task description file the desktop client reads, and the small request body that names it.
#include "analysis/SceneAnalysis.h"
#include "core/ClientInfo.h"
#include "core/LogChannel.h"

#include <string>

namespace rud {

// Builds the task description from the scene's analysis and the artist's choices, writes it to
// <clientInfo.jsonDir>/<taskId>.json (CR LF line ends, raw UTF-8) and returns the request body in
// `requestBody`; `sceneSaved` tells the client whether the artist's scene was saved first. On
// success clientInfo.jsonDir holds the file's full path. Logs to `log`; on failure logs why and
// returns false.
[[nodiscard]] bool WriteTaskJson(const SceneAnalysis& scene, LogChannel& log, bool sceneSaved, ClientInfo& clientInfo,
                                 std::wstring taskId, std::string& requestBody);

} // namespace rud
