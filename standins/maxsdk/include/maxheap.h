#pragma once
// Objects the host may delete are allocated on the host's heap.
#include <cstddef>
#include "coreexp.h"

class MaxHeapOperators {
public:
    CoreExport static void* operator new(std::size_t size);
    CoreExport static void* operator new[](std::size_t size);
    CoreExport static void operator delete(void* p);
    CoreExport static void operator delete[](void* p);
};
