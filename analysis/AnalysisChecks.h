#pragma once
// The farm's rules applied while an analysis is read: each check appends report lines to the
// store's warning or error list, logs, and sets flags the main dialog acts on. None of them
// stops the analysis.
#include "analysis/RUDRenderingDataMgr.h"

#include <string>
#include <vector>

namespace rud {

// The report texts of the string table, loaded once per analysis.
struct ReportTexts {
    std::wstring warningsHeader;     // 78
    std::wstring rendererMissing;    // 88
    std::wstring coronaBlock;        // 73
    std::wstring region;             // 75
    std::wstring referenceCyrillic;  // 80
    std::wstring referenceIllegal;   // 99
    std::wstring missingHeader;      // 62
    std::wstring missingPrefix;      // 60
    std::wstring sameHeader;         // 63
    std::wstring samePrefix;         // 61
    std::wstring tiffOutput;         // 96
    std::wstring imageSampler3;      // 95
    std::wstring errorCode107;       // 77

    static ReportTexts Load();
};

// Appends a warning line, preceded by the header line when it is the analysis' first warning.
void AppendWarning(RUDRenderingDataMgr& store, const ReportTexts& texts, const std::wstring& line);

void CheckMissingRenderer(RUDRenderingDataMgr& store, const ReportTexts& texts, const std::string& rendererName);
// Compares the three limit texts with "0" and sets coronaLimitState to 1, 2 or 3.
void CheckCoronaLimitTexts(RUDRenderingDataMgr& store, const ReportTexts& texts, const std::string& passLimit,
                           const std::string& timeLimit, const std::string& noiseLevelLimit);
void CheckRegion(RUDRenderingDataMgr& store, const ReportTexts& texts);
// The reference-name checks, given what a walk over the reference paths found: whether any
// path holds a Cyrillic letter, and the paths that break the allowed-characters rule, in order.
void CheckReferenceNames(RUDRenderingDataMgr& store, const ReportTexts& texts, bool anyCyrillic,
                         const std::vector<std::wstring>& illegalPaths);
// A group of error lines: its header, then one line per file (prefix directly followed by the path).
void AppendFileGroupHeader(RUDRenderingDataMgr& store, const std::wstring& header);
void AppendFileLine(RUDRenderingDataMgr& store, const std::wstring& prefix, const std::wstring& path);
void CheckImageFormat(RUDRenderingDataMgr& store, const ReportTexts& texts, const std::wstring& upperFormat);
void CheckImageSampler(RUDRenderingDataMgr& store, const ReportTexts& texts, int32_t samplerType);
void CheckErrorCode(RUDRenderingDataMgr& store, const ReportTexts& texts, int32_t code);

} // namespace rud
