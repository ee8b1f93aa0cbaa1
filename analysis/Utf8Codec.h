#pragma once
// UTF-16 <-> UTF-8 for the analysis reader's bulk work: the whole analysis text (megabytes for
// large scenes) and every name and path in it. Gives the same text as WideToUtf8/Utf8ToWide
// for well-formed input, in one pass and without a system call per string, which keeps
// reading an analysis close to the cost of parsing it. Malformed input does not stop it:
// an unpaired surrogate or a byte that starts no valid UTF-8 sequence becomes U+FFFD.
#include <string>

namespace rud {

std::string EncodeUtf8(const std::wstring& text);
// Appends the decoded bytes to `out` (which is not cleared).
void AppendDecodedUtf8(const char* begin, const char* end, std::wstring& out);
inline std::wstring DecodeUtf8(const std::string& text) {
    std::wstring out;
    AppendDecodedUtf8(text.data(), text.data() + text.size(), out);
    return out;
}

} // namespace rud
