#pragma once
// Import/export decoration of the stand-in host's core library (core.dll). The real SDK spreads
// these over several headers and DLLs; here everything lives in one library.
#ifdef MAXSTANDIN_CORE_BUILD
#define CoreExport __declspec(dllexport)
#else
#define CoreExport __declspec(dllimport)
#endif
#define UtilExport CoreExport
#define GUPExport CoreExport
#define ScripterExport CoreExport
#define FPSExport CoreExport
