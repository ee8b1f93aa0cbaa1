#include "analysis/Utf8Codec.h"

#include <cstdint>

namespace rud {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Writes one code point at `out` and returns the position after it.
char* PutUtf8(char32_t code, char* out) {
    if (code < 0x80) {
        *out++ = static_cast<char>(code);
    } else if (code < 0x800) {
        *out++ = static_cast<char>(0xC0 | (code >> 6));
        *out++ = static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        *out++ = static_cast<char>(0xE0 | (code >> 12));
        *out++ = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        *out++ = static_cast<char>(0x80 | (code & 0x3F));
    } else {
        *out++ = static_cast<char>(0xF0 | (code >> 18));
        *out++ = static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        *out++ = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        *out++ = static_cast<char>(0x80 | (code & 0x3F));
    }
    return out;
}

void PutUtf16(char32_t code, std::wstring& out) {
    if (code < 0x10000) {
        out += static_cast<wchar_t>(code);
    } else {
        code -= 0x10000;
        out += static_cast<wchar_t>(0xD800 | (code >> 10));
        out += static_cast<wchar_t>(0xDC00 | (code & 0x3FF));
    }
}

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

} // namespace

std::string EncodeUtf8(const std::wstring& text) {
    // Sized exactly first: the analysis text runs to megabytes, and over-allocating by three
    // costs more in fresh pages than the counting pass does.
    size_t length = text.size();
    for (wchar_t wide : text) {
        const auto unit = static_cast<char16_t>(wide);
        length += static_cast<size_t>(unit >= 0x80) + static_cast<size_t>(unit >= 0x800);
    }
    // A surrogate pair counts 3 + 3 here and needs 4: the count is an upper bound.
    std::string out(length, '\0');
    char* at = out.data();
    const size_t size = text.size();
    const wchar_t* units = text.data();
    for (size_t i = 0; i < size; ++i) {
        const char32_t unit = static_cast<char16_t>(units[i]);
        if (unit < 0x80) {
            *at++ = static_cast<char>(unit);
        } else if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < size &&
                   static_cast<char16_t>(text[i + 1]) >= 0xDC00 && static_cast<char16_t>(text[i + 1]) <= 0xDFFF) {
            const char32_t low = static_cast<char16_t>(text[++i]);
            at = PutUtf8(0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00), at);
        } else if (unit >= 0xD800 && unit <= 0xDFFF) {
            at = PutUtf8(kReplacement, at);
        } else {
            at = PutUtf8(unit, at);
        }
    }
    out.resize(static_cast<size_t>(at - out.data()));
    return out;
}

void AppendDecodedUtf8(const char* begin, const char* end, std::wstring& out) {
    out.reserve(out.size() + static_cast<size_t>(end - begin));
    const auto* at = reinterpret_cast<const unsigned char*>(begin);
    const auto* stop = reinterpret_cast<const unsigned char*>(end);
    while (at < stop) {
        const unsigned char lead = *at;
        if (lead < 0x80) {
            out += static_cast<wchar_t>(lead);
            ++at;
            continue;
        }
        int length = 0;
        char32_t code = 0;
        char32_t lowest = 0;
        if (lead >= 0xC2 && lead <= 0xDF) { length = 2; code = lead & 0x1F; lowest = 0x80; }
        else if (lead >= 0xE0 && lead <= 0xEF) { length = 3; code = lead & 0x0F; lowest = 0x800; }
        else if (lead >= 0xF0 && lead <= 0xF4) { length = 4; code = lead & 0x07; lowest = 0x10000; }
        int taken = 1;
        while (length > 0 && taken < length && at + taken < stop && IsContinuation(at[taken])) {
            code = (code << 6) | (at[taken] & 0x3F);
            ++taken;
        }
        const bool valid = length > 0 && taken == length && code >= lowest && code <= 0x10FFFF &&
                           !(code >= 0xD800 && code <= 0xDFFF);
        PutUtf16(valid ? code : kReplacement, out);
        at += valid ? length : taken;
    }
}

} // namespace rud
