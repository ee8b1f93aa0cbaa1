#pragma once
// MD5 message digest (RFC 1321). Used for the archive password of direct-save accounts, where
// the desktop client must derive the same text; it is not used for anything security-relevant.
#include <array>
#include <cstdint>
#include <string>

namespace rud {

std::array<uint8_t, 16> Md5Digest(const std::string& bytes);
// The digest as 32 lower-case hexadecimal characters, high nibble of each byte first.
std::string Md5Hex(const std::string& bytes);

} // namespace rud
