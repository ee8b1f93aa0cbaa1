#pragma once
// The actions as 3ds Max's Customize User Interface dialog and hotkey editor list them: category,
// short name and description of every action, each loaded from the string table of the module
// that the table was built with.
#include "MaxStandin.h"

#include <string>
#include <vector>

namespace maxhost {

// One line per action of every registered table:
// "ACTION-TEXT <table id> <command id> | <category> | <short name> | <description>".
std::vector<std::wstring> ActionTextLines(IActionManager& actions);

// True when every action of every table has a non-empty category, short name and description.
bool ActionTextsComplete(IActionManager& actions);

} // namespace maxhost
