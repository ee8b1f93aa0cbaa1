#pragma once
// What the artist reads when 3ds Max stayed busy and never took a call of the submission.
#include "host/HostBusy.h"

#include <string>

namespace rud {

// String 140 naming the operation (strings 141 to 145), through the worker's loader.
std::wstring HostBusyMessage(int activity);

} // namespace rud
