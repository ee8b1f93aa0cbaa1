#include "ui/SwitchImages.h"

#include "core/ResourceStrings.h"
#include "resources/ControlIds.h"

#include <objidl.h>
#include <shlwapi.h>

#include <algorithm>
// GDI+ headers use min and max unqualified; the build defines NOMINMAX.
namespace Gdiplus {
using std::max;
using std::min;
}  // namespace Gdiplus
#include <gdiplus.h>

namespace rud {

struct SwitchImages::Impl {
    ULONG_PTR token = 0;
    std::unique_ptr<Gdiplus::Bitmap> on;
    std::unique_ptr<Gdiplus::Bitmap> off;
};

namespace {

// Decodes a PNG resource into a bitmap that no longer needs the resource's stream.
std::unique_ptr<Gdiplus::Bitmap> LoadPngResource(int id) {
    HMODULE module = ModuleInstance();
    HRSRC resource = ::FindResourceW(module, MAKEINTRESOURCEW(id), L"PNG");
    if (!resource) return nullptr;
    HGLOBAL loaded = ::LoadResource(module, resource);
    DWORD size = ::SizeofResource(module, resource);
    const void* data = loaded ? ::LockResource(loaded) : nullptr;
    if (!data || size == 0) return nullptr;
    IStream* stream = ::SHCreateMemStream(static_cast<const BYTE*>(data), size);
    if (!stream) return nullptr;
    std::unique_ptr<Gdiplus::Bitmap> decoded(Gdiplus::Bitmap::FromStream(stream));
    std::unique_ptr<Gdiplus::Bitmap> copy;
    if (decoded && decoded->GetLastStatus() == Gdiplus::Ok) {
        copy = std::make_unique<Gdiplus::Bitmap>(static_cast<INT>(decoded->GetWidth()),
                                                 static_cast<INT>(decoded->GetHeight()), PixelFormat32bppARGB);
        Gdiplus::Graphics graphics(copy.get());
        graphics.DrawImage(decoded.get(), 0, 0, static_cast<INT>(decoded->GetWidth()),
                           static_cast<INT>(decoded->GetHeight()));
    }
    decoded.reset();
    stream->Release();
    return copy;
}

} // namespace

SwitchImages::SwitchImages() : impl_(std::make_unique<Impl>()) {
    Gdiplus::GdiplusStartupInput input;
    if (Gdiplus::GdiplusStartup(&impl_->token, &input, nullptr) != Gdiplus::Ok) {
        impl_->token = 0;
        return;
    }
    impl_->on = LoadPngResource(IDB_SWITCH_ON);
    impl_->off = LoadPngResource(IDB_SWITCH_OFF);
}

SwitchImages::~SwitchImages() {
    impl_->on.reset();
    impl_->off.reset();
    if (impl_->token) Gdiplus::GdiplusShutdown(impl_->token);
}

bool SwitchImages::Loaded() const { return impl_->on && impl_->off; }

void SwitchImages::Draw(HDC dc, const RECT& rect, bool onPicture, COLORREF background) const {
    HBRUSH brush = ::CreateSolidBrush(background);
    ::FillRect(dc, &rect, brush);
    ::DeleteObject(brush);
    Gdiplus::Bitmap* picture = onPicture ? impl_->on.get() : impl_->off.get();
    if (!picture) return;
    double width = rect.right - rect.left;
    double height = rect.bottom - rect.top;
    double scale = std::min(width / picture->GetWidth(), height / picture->GetHeight());
    int drawnWidth = static_cast<int>(picture->GetWidth() * scale);
    int drawnHeight = static_cast<int>(picture->GetHeight() * scale);
    Gdiplus::Graphics graphics(dc);
    graphics.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
    graphics.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
    graphics.DrawImage(picture, static_cast<INT>(rect.left + (width - drawnWidth) / 2),
                       static_cast<INT>(rect.top + (height - drawnHeight) / 2), drawnWidth, drawnHeight);
}

} // namespace rud
