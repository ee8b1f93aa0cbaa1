#pragma once
// The text form of the documents handed to the desktop client: Json::StyledWriter's layout
// (one member per line, 3-space indent, keys sorted) with strings in raw UTF-8.
//
// jsoncpp 1.9 writes every non-ASCII character as \uXXXX and cannot be told otherwise, while the
// client expects the bytes themselves (older jsoncpp wrote them raw). We therefore take
// StyledWriter's text and turn the escapes it made for non-ASCII characters back into UTF-8.
#include <json/value.h>

#include <string>

namespace rud {

std::string StyledUtf8Text(const Json::Value& root);

// Replaces every \uXXXX escape of a code point >= 0x80 (surrogate pairs joined) by its UTF-8
// bytes. Escapes of control characters (\u001f), escaped backslashes and lone surrogates stay.
std::string UnescapeNonAscii(const std::string& jsonText);

} // namespace rud
