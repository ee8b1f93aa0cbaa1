#pragma once
#include <windows.h>
#include "coreexp.h"

namespace MaxSDK {

struct MaxGuid : public GUID {
    MaxGuid() : GUID() {}
    explicit MaxGuid(const GUID& guid) : GUID(guid) {}
    // Text in registry form, with or without braces; malformed text gives the all-zero GUID.
    CoreExport explicit MaxGuid(const wchar_t* text);
    CoreExport explicit MaxGuid(const char* text);
    CoreExport static MaxGuid CreateMaxGuid();
    // False for the all-zero GUID.
    bool IsValid() const;
    bool operator==(const MaxGuid& other) const { return IsEqualGUID(*this, other) != 0; }
    bool operator!=(const MaxGuid& other) const { return !(*this == other); }
};

inline bool MaxGuid::IsValid() const { return *this != MaxGuid(); }

} // namespace MaxSDK
