#pragma once
// Conversions where wide text (paths, names, messages) meets narrow text (UTF-8 for JSON and
// the client, code page 936 / the system ANSI code page for logs and 7-Zip), the whole-file
// UTF-8 reader, the GUID text that names analysis results and tasks, and the random numbers
// that name archives and backups.
#include <cstdint>
#include <string>

namespace rud {

std::string WideToUtf8(std::wstring text);
std::wstring Utf8ToWide(std::string text);
// Through the runtime locale "chs" (code page 936); the locale switch is serialised.
std::string WideToAnsiChs(std::wstring text);
std::wstring AnsiChsToWide(std::string text);
// UTF-8 to the system ANSI code page, through wide text.
std::string Utf8ToAnsi(std::string text);

// Whole file as wide text, decoded from UTF-8; a byte-order mark stays as U+FEFF.
// The path is narrow text in code page 936. A file that cannot be opened gives empty text.
std::wstring ReadWholeFileUtf8(const std::string& path);

// A new GUID as "XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX" (upper case), or empty text.
std::wstring CreateGuidText();

// At least 36 random bits that differ between processes and between calls (names of files that
// several 3ds Max sessions may create in one folder at once), unlike rand() seeded with the time.
uint64_t UniqueRandomNumber();

} // namespace rud
