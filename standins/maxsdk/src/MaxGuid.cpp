#include "../include/MaxGuid.h"

#include <objbase.h>

#include <string>

namespace MaxSDK {

MaxGuid::MaxGuid(const wchar_t* text) : GUID() {
    if (!text) return;
    std::wstring braced = text;
    if (braced.empty() || braced.front() != L'{') braced = L"{" + braced + L"}";
    GUID parsed{};
    if (SUCCEEDED(::CLSIDFromString(braced.c_str(), &parsed))) static_cast<GUID&>(*this) = parsed;
}

MaxGuid::MaxGuid(const char* text) : GUID() {
    if (!text) return;
    std::wstring wide(text, text + std::char_traits<char>::length(text));
    *this = MaxGuid(wide.c_str());
}

MaxGuid MaxGuid::CreateMaxGuid() {
    GUID guid{};
    if (FAILED(::CoCreateGuid(&guid))) guid = GUID{};
    return MaxGuid(guid);
}

} // namespace MaxSDK
