#pragma once
// Tells which dialog template a window was made from: by the control IDs the template declares
// (read from the plug-in's language file), all of which the window must have as children.
#include <windows.h>

#include <map>
#include <set>
#include <string>

namespace maxhost {

class DialogTemplates {
public:
    // Reads every dialog template of the resource module; false when it cannot be loaded.
    bool Load(const std::wstring& resourceFile);
    // The template the window matches best (most controls matched), or 0.
    int TemplateOf(HWND window) const;
    bool Knows(int templateId) const { return controls_.count(templateId) != 0; }

private:
    std::map<int, std::set<int>> controls_;
};

} // namespace maxhost
