#pragma once
// The utility-plug-in object the host creates and starts. It has nothing to do: the menu and
// the actions come from the menu-registration handler.
#include <max.h>  // gup.h does not stand alone

#include <gup.h>

namespace rud {

class RUD_Rendering_2025 : public GUP {
public:
    DWORD Start() override;
    void Stop() override;
    void DeleteThis() override;
};

} // namespace rud
