#pragma once
// The two switch pictures of the camera dialog (PNG resources 109 and 110 of the plug-in
// module), decoded with GDI+ and drawn with their per-pixel alpha.
#include <windows.h>

#include <memory>

namespace rud {

class SwitchImages {
public:
    // Starts GDI+ for the lifetime of the object and decodes both pictures.
    SwitchImages();
    ~SwitchImages();
    SwitchImages(const SwitchImages&) = delete;
    SwitchImages& operator=(const SwitchImages&) = delete;

    bool Loaded() const;
    // Fills `rect` with `background` and draws the picture centred in it, scaled to fit.
    void Draw(HDC dc, const RECT& rect, bool onPicture, COLORREF background) const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace rud
