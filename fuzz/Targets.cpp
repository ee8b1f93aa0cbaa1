#include "fuzz/FuzzTarget.h"

namespace rudfuzz {

const std::vector<std::string>& TargetNames() {
    static const std::vector<std::string> names = {"analysis", "reply", "settings", "sharedmemory", "taskfile"};
    return names;
}

std::unique_ptr<FuzzTarget> MakeTarget(const std::string& name, const SeedFiles& seeds) {
    if (name == "analysis") return MakeAnalysisTarget(seeds);
    if (name == "reply") return MakeReplyTarget(seeds);
    if (name == "settings") return MakeSettingsTarget(seeds);
    if (name == "sharedmemory") return MakeSharedMemoryTarget(seeds);
    if (name == "taskfile") return MakeTaskFileTarget(seeds);
    return nullptr;
}

} // namespace rudfuzz
