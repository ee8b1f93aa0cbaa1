#pragma once
// Values the farm's desktop client and this plug-in must agree on. They are configuration of the
// farm, not of the artist: change them only together with the client's copy.
#include <array>

namespace rud {

// Accounts whose archives go straight into the client's save folder ("KELVANTA_PLUGIN_SAVE_PATH")
// and are protected by the archive password. Each is the account's eight-digit identifier as the
// client publishes it in "KELVANTA_USERNAME_DATA".
inline constexpr std::array<const wchar_t*, 3> kDirectSaveAccounts = {
    L"20180001",
    L"20180002",
    L"20180003",
};

// Appended to the scene name before the second digest of the archive password (seven characters).
inline constexpr const char kArchivePasswordSalt[] = "Kv7#rUd";
static_assert(sizeof(kArchivePasswordSalt) == 8, "the salt is seven characters");

} // namespace rud
