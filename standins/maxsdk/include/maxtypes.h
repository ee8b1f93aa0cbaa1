#pragma once
#include <windows.h>

typedef unsigned long ulong;
typedef ULONG SClass_ID;

class Class_ID {
public:
    Class_ID() : a(0xFFFFFFFF), b(0xFFFFFFFF) {}
    Class_ID(ulong aa, ulong bb) : a(aa), b(bb) {}
    ulong PartA() const { return a; }
    ulong PartB() const { return b; }
    bool operator==(const Class_ID& other) const { return a == other.a && b == other.b; }
    bool operator!=(const Class_ID& other) const { return !(*this == other); }
private:
    ulong a, b;
};
