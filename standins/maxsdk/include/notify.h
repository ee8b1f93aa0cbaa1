#pragma once
// Broadcast notifications from the host to registered handlers.
#include "coreexp.h"

#define NOTIFY_SYSTEM_PRE_RESET 0x00000005
#define NOTIFY_SYSTEM_POST_RESET 0x00000006
#define NOTIFY_FILE_PRE_OPEN 0x00000009
#define NOTIFY_FILE_POST_OPEN 0x0000000A
#define NOTIFY_FILE_PRE_SAVE 0x0000000D
#define NOTIFY_FILE_POST_SAVE 0x0000000E
#define NOTIFY_FILE_OPEN_FAILED 0x0000000F
#define NOTIFY_PRE_RENDER 0x00000014
#define NOTIFY_POST_RENDER 0x00000015
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
