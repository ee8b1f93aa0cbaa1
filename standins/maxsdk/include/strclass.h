#pragma once
// The host's wide string. Its storage is allocated by the host library so that a string can
// travel between the host and a plug-in.
#include <windows.h>
#include "coreexp.h"
#include "maxheap.h"

typedef wchar_t MCHAR;

class UtilExport WStr : public MaxHeapOperators {
public:
    WStr();
    WStr(const wchar_t* text);
    WStr(const WStr& other);
    ~WStr();
    WStr& operator=(const WStr& other);
    WStr& operator=(const wchar_t* text);
    const wchar_t* data() const;
    int Length() const;
    int length() const { return Length(); }
    bool isNull() const { return Length() == 0; }
    void toUpper();
    void toLower();
    bool operator==(const WStr& other) const;
    bool operator!=(const WStr& other) const { return !(*this == other); }
private:
    void Assign(const wchar_t* text);
    wchar_t* buffer;
    int count;
};

typedef WStr MSTR;
typedef WStr TSTR;
