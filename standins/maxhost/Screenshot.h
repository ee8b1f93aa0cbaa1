#pragma once
#include <string>

namespace maxhost {

// Captures the whole screen with GDI and writes it as a PNG file through GDI+.
bool SaveScreenshot(const std::wstring& pngPath);

} // namespace maxhost
