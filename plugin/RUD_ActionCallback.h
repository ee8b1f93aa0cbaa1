#pragma once
// Runs the plug-in's actions when the artist picks them from the menu.
#include <actiontable.h>

namespace rud {

class RUD_ActionCallback : public ActionCallback {
public:
    // TRUE for every ID: an unknown one is simply ignored.
    BOOL ExecuteAction(int id) override;
};

} // namespace rud
