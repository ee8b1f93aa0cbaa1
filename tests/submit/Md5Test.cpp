#include "submit/Md5.h"

#include <gtest/gtest.h>

namespace {

// RFC 1321 appendix A.5, then padding at 55, 56 and 64 bytes (the length field fits, just misses,
// needs a whole new block) and UTF-8 bytes ("中文").
TEST(Md5, MatchesKnownDigests) {
    const struct { std::string input; const char* digest; } cases[] = {
        {"", "d41d8cd98f00b204e9800998ecf8427e"},
        {"a", "0cc175b9c0f1b6a831c399e269772661"},
        {"abc", "900150983cd24fb0d6963f7d28e17f72"},
        {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
        {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789", "d174ab98d277d9f5a5611c2c9f419d9f"},
        {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
         "57edf4a22be3c955ac49da2e2107b67a"},
        {std::string(55, 'a'), "ef1772b6dff9a122358552954ad0df65"},
        {std::string(56, 'a'), "3b0c8ac703f828b04c6c197006d17218"},
        {std::string(64, 'a'), "014842d480b571495a4a0363793f7367"},
        {"\xe4\xb8\xad\xe6\x96\x87", "a7bac2239fcdcb3a067903d8077c4a07"},
    };
    for (const auto& c : cases) EXPECT_EQ(rud::Md5Hex(c.input), c.digest) << '"' << c.input << '"';
}

} // namespace
