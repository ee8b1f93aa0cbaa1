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

// Names a published interface (function publishing) or a core interface of the host.
class Interface_ID {
public:
    Interface_ID() : a(0xFFFFFFFF), b(0xFFFFFFFF) {}
    Interface_ID(ulong aa, ulong bb) : a(aa), b(bb) {}
    ulong PartA() const { return a; }
    ulong PartB() const { return b; }
    bool operator==(const Interface_ID& other) const { return a == other.a && b == other.b; }
    bool operator!=(const Interface_ID& other) const { return !(*this == other); }
private:
    ulong a, b;
};

typedef int TimeValue;

// Outcome of saving or loading a part of a scene file.
enum IOResult { IO_OK = 0, IO_END = 1, IO_ERROR = 2, IO_OPEN_DIALOG, IO_OPEN_FAILED };

class ILoad;
class ISave;
