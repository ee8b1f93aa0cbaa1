#pragma once
// Lines the stand-in host reports on its standard output (UTF-8), one writer at a time.
#include <string>

namespace maxhost {

void PrintLine(const std::wstring& line);
std::string ToUtf8(const std::wstring& text);
std::wstring FromUtf8(const std::string& text);

} // namespace maxhost
