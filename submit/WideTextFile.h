#pragma once
// Writing a text file at a wide path in text mode (line ends become CR LF), with the same code
// under Visual Studio and mingw (whose std::ofstream has no wide-path constructor).
#include <string>

namespace rud {

enum class TextFileResult { kWritten, kOpenFailed, kWriteFailed };

// Creates or truncates the file and writes `bytes` unchanged except for "\n" -> "\r\n".
[[nodiscard]] TextFileResult WriteWideTextFile(const std::wstring& path, const std::string& bytes);

} // namespace rud
