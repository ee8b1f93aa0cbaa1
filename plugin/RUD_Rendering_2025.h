#pragma once
// The utility-plug-in object the host creates and starts. The menu and the actions come from
// the menu-registration handler; this object clears what a crashed session left and has a say
// when 3ds Max quits during a submission.
#include <max.h>  // gup.h does not stand alone

#include <gup.h>

namespace rud {

// Asks the artist when 3ds Max is to quit while a scene is packed in the background.
class RUDQuitDuringSubmission : public ExitMAXCallback {
public:
    BOOL Exit(HWND mainWindow) override;
};

class RUD_Rendering_2025 : public GUP {
public:
    DWORD Start() override;
    void Stop() override;
    void DeleteThis() override;

private:
    RUDQuitDuringSubmission quitCallback_;
    bool quitCallbackRegistered_ = false;
};

} // namespace rud
