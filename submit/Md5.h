#pragma once
// MD5 message digest (RFC 1321). Used for the archive password of direct-save accounts, where
// the desktop client must derive the same text; it is not used for anything security-relevant.
#include <string>

namespace rud {

// The digest as 32 lower-case hexadecimal characters, high nibble of each byte first; empty
// when Windows offers no MD5.
std::string Md5Hex(const std::string& bytes);

} // namespace rud
