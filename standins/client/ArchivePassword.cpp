// The client's side of the archive password: its account list, its salt, Windows' MD5.
#include "standins/client/ArchivePassword.h"

#include <windows.h>
#include <bcrypt.h>

#include <cstdio>

namespace rudclient {
namespace {

// The farm's configuration, the client's copy: the accounts whose archives go to their save
// folder, and the seven characters appended to the name for the second digest.
const wchar_t* const kDirectSaveAccounts[] = {L"20180001", L"20180002", L"20180003"};
const char kSalt[] = "Kv7#rUd";

bool Ok(NTSTATUS status) { return status >= 0; }

// Lower-case hexadecimal MD5 of `text`, or "" when Windows cannot make one.
std::string Md5Text(const std::string& text) {
    BCRYPT_ALG_HANDLE algorithm = nullptr;
    if (!Ok(BCryptOpenAlgorithmProvider(&algorithm, BCRYPT_MD5_ALGORITHM, nullptr, 0))) return "";
    BCRYPT_HASH_HANDLE hash = nullptr;
    unsigned char digest[16] = {};
    bool made = Ok(BCryptCreateHash(algorithm, &hash, nullptr, 0, nullptr, 0, 0));
    made = made && Ok(BCryptHashData(hash, (PUCHAR)text.data(), (ULONG)text.size(), 0));
    made = made && Ok(BCryptFinishHash(hash, digest, sizeof(digest), 0));
    if (hash) BCryptDestroyHash(hash);
    BCryptCloseAlgorithmProvider(algorithm, 0);
    std::string hex;
    for (unsigned char byte : digest) {
        char pair[3];
        std::snprintf(pair, sizeof(pair), "%02x", byte);
        hex += pair;
    }
    return made ? hex : "";
}

} // namespace

std::string ExpectedArchivePassword(const std::wstring& userName, const std::string& sceneNameUtf8) {
    bool directSave = false;
    for (const wchar_t* account : kDirectSaveAccounts) directSave = directSave || userName == account;
    if (!directSave) return "";
    // The digests of the name and of the salted name, one character of each in turn.
    const std::string plain = Md5Text(sceneNameUtf8), salted = Md5Text(sceneNameUtf8 + kSalt);
    std::string password;
    for (size_t i = 0; i < plain.size() && i < salted.size(); ++i) {
        password += plain[i];
        password += salted[i];
    }
    return password;
}

} // namespace rudclient
