#pragma once
// The numbers by which 3ds Max knows this plug-in. They are fixed: scenes, menu files and
// shortcut files saved by artists refer to them.
#include <windows.h>

namespace rud {

constexpr ULONG kClassIdA = 0x485C2835;
constexpr ULONG kClassIdB = 0x70747835;
constexpr ULONG kUtilitySuperClassId = 0x10E0;   // GUP_CLASS_ID
constexpr const wchar_t* kFixedClassName = L"RUD_Rendering_2025";

constexpr DWORD kActionTableId = 1168786313;     // 0x45AA4389
constexpr DWORD kActionContextId = 563298227;    // 0x21933FB3
constexpr const wchar_t* kActionContextName = L"Quillmere";
constexpr int kActionOpenMainDialog = 1497;
constexpr int kActionAbout = 1498;

// The MAXScript interface: scripts know it as the global RUDRendering.
constexpr ULONG kScriptInterfaceIdA = 0x5C1E2A47;
constexpr ULONG kScriptInterfaceIdB = 0x3B9D6F12;
constexpr const wchar_t* kScriptInterfaceName = L"RUDRendering";

constexpr int kMenuNotificationCode = 288;       // NOTIFY_CUI_REGISTER_MENUS
// Release 27000 (3ds Max 2025), API 66, SDK revision 0: the value the 2025 host accepts.
constexpr ULONG kLibraryVersion = 0x69784200;

} // namespace rud
