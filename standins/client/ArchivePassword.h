#pragma once
// The password the farm's client opens a direct-save account's archive with, derived on the
// client's side: the farm's account list and salt, and Windows' MD5.
#include <string>

namespace rudclient {

// Empty when `userName` is not a direct-save account (its archives carry no password).
std::string ExpectedArchivePassword(const std::wstring& userName, const std::string& sceneNameUtf8);

} // namespace rudclient
