#pragma once
// The host's umbrella header.
#include <windows.h>
#include "coreexp.h"
#include "maxheap.h"
#include "maxtypes.h"
#include "strclass.h"
#include "plugapi.h"
#include "maxapi.h"
#include "winutil.h"
