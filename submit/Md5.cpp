// MD5 through Windows' own implementation (CNG), which every supported Windows has.
#include "submit/Md5.h"

#include <windows.h>
#include <bcrypt.h>

namespace rud {
namespace {

// Closes what CNG opened, whichever step failed.
struct Md5Handles {
    BCRYPT_ALG_HANDLE algorithm = nullptr;
    BCRYPT_HASH_HANDLE hash = nullptr;
    ~Md5Handles() {
        if (hash) ::BCryptDestroyHash(hash);
        if (algorithm) ::BCryptCloseAlgorithmProvider(algorithm, 0);
    }
};

// What BCRYPT_SUCCESS tests; not every SDK's bcrypt.h (Wine's) defines it.
bool Succeeded(NTSTATUS status) { return status >= 0; }

} // namespace

std::string Md5Hex(const std::string& bytes) {
    Md5Handles handles;
    UCHAR digest[16] = {};
    // A scene name is far below ULONG's range; the input is never split.
    if (!Succeeded(::BCryptOpenAlgorithmProvider(&handles.algorithm, BCRYPT_MD5_ALGORITHM, nullptr, 0)) ||
        !Succeeded(::BCryptCreateHash(handles.algorithm, &handles.hash, nullptr, 0, nullptr, 0, 0)) ||
        !Succeeded(::BCryptHashData(handles.hash, reinterpret_cast<PUCHAR>(const_cast<char*>(bytes.data())),
                                         static_cast<ULONG>(bytes.size()), 0)) ||
        !Succeeded(::BCryptFinishHash(handles.hash, digest, sizeof(digest), 0)))
        return std::string();
    static const char kHex[] = "0123456789abcdef";
    std::string text;
    for (UCHAR byte : digest) {
        text.push_back(kHex[byte >> 4]);
        text.push_back(kHex[byte & 0x0f]);
    }
    return text;
}

} // namespace rud
