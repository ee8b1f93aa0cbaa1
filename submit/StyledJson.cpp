#include "submit/StyledJson.h"

#include <json/writer.h>

namespace rud {
namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// The 16-bit value of "\uXXXX" at `pos` (pointing at the backslash), or -1.
long EscapeAt(const std::string& text, size_t pos) {
    if (pos + 6 > text.size() || text[pos] != '\\' || text[pos + 1] != 'u') return -1;
    long value = 0;
    for (size_t i = pos + 2; i < pos + 6; ++i) {
        int digit = HexValue(text[i]);
        if (digit < 0) return -1;
        value = value * 16 + digit;
    }
    return value;
}

void AppendUtf8(std::string& out, unsigned long cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

} // namespace

std::string UnescapeNonAscii(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        if (text[i] != '\\') {
            out.push_back(text[i++]);
            continue;
        }
        long unit = EscapeAt(text, i);
        if (unit < 0x80) {
            // Not \u, or a control character: keep the escape (and what it escapes) as written,
            // so "\\u00e9" (an escaped backslash before "u00e9") is never mistaken for an escape.
            out.append(text, i, 2);
            i += 2;
            continue;
        }
        if (unit >= 0xD800 && unit <= 0xDBFF) {
            long low = EscapeAt(text, i + 6);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                AppendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
                i += 12;
                continue;
            }
        }
        if (unit >= 0xD800 && unit <= 0xDFFF) {  // a lone surrogate has no UTF-8 form
            out.append(text, i, 6);
        } else {
            AppendUtf8(out, static_cast<unsigned long>(unit));
        }
        i += 6;
    }
    return out;
}

std::string StyledUtf8Text(const Json::Value& root) {
    Json::StyledWriter writer;
    return UnescapeNonAscii(writer.write(root));
}

} // namespace rud
