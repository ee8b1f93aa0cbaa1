#pragma once
// The short message of the menu's second action.

namespace rud {

// Shows the message box (no owner, OK only) in the language of the string table.
void ShowAboutMessage();

} // namespace rud
