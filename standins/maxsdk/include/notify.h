#pragma once
// Broadcast notifications from the host to registered handlers.
#include "coreexp.h"

#define NOTIFY_SYSTEM_STARTUP 0x00000050
#define NOTIFY_SYSTEM_SHUTDOWN 0x00000049
#define NOTIFY_CUI_REGISTER_MENUS 0x00000120

struct NotifyInfo {
    int intcode;
    void* callParam;
};

typedef void (*NOTIFYPROC)(void* param, NotifyInfo* info);

CoreExport int RegisterNotification(NOTIFYPROC proc, void* param, int code);
CoreExport int UnRegisterNotification(NOTIFYPROC proc, void* param, int code);
CoreExport void BroadcastNotification(int code, void* callParam = nullptr);
