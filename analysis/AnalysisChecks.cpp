#include "analysis/AnalysisChecks.h"

#include "core/ResourceStrings.h"
#include "resources/StringIds.h"

namespace rud {
ReportTexts ReportTexts::Load() {
    ReportTexts texts;
    texts.warningsHeader = ResourceText(IDS_WARNINGS_HEADER);
    texts.rendererMissing = ResourceText(IDS_RENDERER_MISSING);
    texts.coronaBlock = ResourceText(IDS_CORONA_BLOCK_WARNING);
    texts.region = ResourceText(IDS_REGION_WARNING);
    texts.referenceCyrillic = ResourceText(IDS_REFERENCE_CYRILLIC);
    texts.referenceIllegal = ResourceText(IDS_REFERENCE_ILLEGAL);
    texts.missingHeader = ResourceText(IDS_MISSING_FILES_HEADER);
    texts.missingPrefix = ResourceText(IDS_FILE_MISSING_PREFIX);
    texts.sameHeader = ResourceText(IDS_SAME_FILES_HEADER);
    texts.samePrefix = ResourceText(IDS_FILE_SAME_NAME_PREFIX);
    texts.tiffOutput = ResourceText(IDS_TIFF_OUTPUT);
    texts.imageSampler3 = ResourceText(IDS_IMAGE_SAMPLER_3);
    texts.errorCode107 = ResourceText(IDS_ERROR_CODE_107);
    return texts;
}

void AppendWarning(RUDRenderingDataMgr& store, const ReportTexts& texts, const std::wstring& line) {
    if (store.warningLines.empty()) store.warningLines.push_back(texts.warningsHeader);
    store.warningLines.push_back(line);
}

void CheckMissingRenderer(RUDRenderingDataMgr& store, const ReportTexts& texts, const std::string& rendererName) {
    if (rendererName == "Missing_Renderer") AppendWarning(store, texts, texts.rendererMissing);
}

void CheckCoronaLimitTexts(RUDRenderingDataMgr& store, const ReportTexts& texts, const std::string& passLimit,
                           const std::string& timeLimit, const std::string& noiseLevelLimit) {
    // A plain text comparison, as the script writes the values: "0.0" counts as a limit.
    const bool passFree = passLimit == "0";
    const bool timeFree = timeLimit == "0";
    const bool noiseFree = noiseLevelLimit == "0";
    if (passFree && timeFree && noiseFree) {
        store.coronaLimitState = 1;
        store.dataLog.write("The progressive pass, time and noise level are not limited in Corona! "
                            "Please revise and submit again!", "ERROR");
    } else if (!passFree || !noiseFree) {
        store.coronaLimitState = 3;
    } else {
        store.coronaLimitState = 2;
        AppendWarning(store, texts, texts.coronaBlock);
        store.dataLog.write("Block rendering is not recommended in Corona. Please limit progressive pass "
                            "and noise level if you still want to use block rendering.", "WARN");
    }
}

void CheckRegion(RUDRenderingDataMgr& store, const ReportTexts& texts) {
    if (store.isRegionText != "true") return;
    AppendWarning(store, texts, texts.region);
    store.dataLog.write("Region rendering is used in your scene file. Please ignore this message if you "
                        "confirm to use block rendering.", "WARN");
}

void CheckReferenceNames(RUDRenderingDataMgr& store, const ReportTexts& texts, bool anyCyrillic,
                         const std::vector<std::wstring>& illegalPaths) {
    if (anyCyrillic) {
        AppendWarning(store, texts, texts.referenceCyrillic);
        store.dataLog.write("The name of reference file have Russian characters.", "WARN");
    }
    if (illegalPaths.empty()) return;
    store.referenceNamesIllegal = true;
    store.errorLines.push_back(texts.referenceIllegal);
    store.dataLog.write("The name of reference file have illegal characters.", "WARN");
    store.errorLines.insert(store.errorLines.end(), illegalPaths.begin(), illegalPaths.end());
}

void AppendFileGroupHeader(RUDRenderingDataMgr& store, const std::wstring& header) {
    store.errorLines.push_back(header);
}

void AppendFileLine(RUDRenderingDataMgr& store, const std::wstring& prefix, const std::wstring& path) {
    std::wstring line;
    line.reserve(prefix.size() + path.size());
    line += prefix;
    line += path;
    store.errorLines.push_back(std::move(line));
}

void CheckImageFormat(RUDRenderingDataMgr& store, const ReportTexts& texts, const std::wstring& upperFormat) {
    if (upperFormat == L"TIFF" || upperFormat == L"TIF") AppendWarning(store, texts, texts.tiffOutput);
}

void CheckImageSampler(RUDRenderingDataMgr& store, const ReportTexts& texts, int32_t samplerType) {
    if (samplerType == 3) AppendWarning(store, texts, texts.imageSampler3);
}

void CheckErrorCode(RUDRenderingDataMgr& store, const ReportTexts& texts, int32_t code) {
    if (code == 107) AppendWarning(store, texts, texts.errorCode107);
}

} // namespace rud
