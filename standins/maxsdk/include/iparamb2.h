#pragma once
#include "plugapi.h"

// The parameter-block-aware class descriptor; a descriptor without parameter blocks only
// overrides ClassDesc's operations.
class ClassDesc2 : public ClassDesc {
public:
    ClassDesc2() {}
    ~ClassDesc2() override {}
};
