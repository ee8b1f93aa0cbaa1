#pragma once
// Packing the scene copy into a 7z archive with the 7-Zip program of the data folder.
#include "analysis/RUDRenderingDataMgr.h"
#include "core/ClientInfo.h"
#include "submit/ArchiverOutcome.h"
#include "submit/ArchiverProcess.h"

#include <string>
#include <vector>

namespace rud {

// The file name of a path without its extension: after the last backslash (or, without any,
// the last slash), cut at the last dot unless that dot lies before the name.
std::string FileStem(const std::string& path);
// Six characters of [a-zA-Z0-9], drawn anew for every call in every process.
std::string RandomSuffix();
// The 64-character archive password of a direct-save account for a scene name (UTF-8): the
// hexadecimal MD5 digests of the name and of the name with the farm's salt, interleaved.
std::string ArchivePassword(const std::string& sceneNameUtf8);
// True for a valid user record naming one of the farm's direct-save accounts.
bool IsDirectSaveAccount(const ClientUserInfo& user);

// The argument text that follows the program: " a -mx=3 -mmt=on -t7z -bsp1[ -p<password>] "<archive>" "<scene>"".
std::string ArchiverArguments(const std::string& password, const std::string& archivePath,
                              const std::string& scenePath);
std::wstring ArchiverArguments(const std::wstring& password, const std::wstring& archivePath,
                               const std::wstring& scenePath);

// Chooses an archive path no file takes yet and builds the 7-Zip arguments into
// clientInfo.compressPath (UTF-8) and clientInfo.zipArguments (ANSI code page, for the record).
// `wideArguments`, when given, receives the same arguments in wide text, which keep every
// character of the paths.
// `madeFolders`, when given, receives each folder made here, in the order made.
// False when the scene name is empty or ends in a space or a dot (the fields are set anyway).
[[nodiscard]] bool PackScene(RUDRenderingDataMgr& store, ClientInfo& clientInfo, const ClientUserInfo* user,
                             std::wstring* wideArguments = nullptr, std::vector<std::wstring>* madeFolders = nullptr);

// The command line: the quoted program path followed by the arguments.
std::wstring ArchiverCommandLine(const std::wstring& zipExePath, const std::wstring& arguments);

// Runs 7-Zip with the wide arguments (or, when empty, clientInfo.zipArguments) and waits for it;
// meanwhile store.busyPackPercent follows its progress and store.busyArchiveBytes the archive's
// size. When store.busyCancelRequested is set, 7-Zip is ended, waited for, and the partial
// archive deleted. Reports whether it started and how it ended; JudgeArchiverRun tells whether
// that packed the scene.
[[nodiscard]] ArchiverRun RunArchiver(RUDRenderingDataMgr& store, const ClientInfo& clientInfo,
                                      const std::wstring& wideArguments = std::wstring());

} // namespace rud
