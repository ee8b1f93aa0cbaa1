#include "analysis/RUDRenderingDataMgr.h"

#include <gtest/gtest.h>

TEST(DataStore, MessageLinesPutWarningsFirstAndFollowTheReport) {
    rud::RUDRenderingDataMgr store;
    const rud::ReportLines lines = store.MessageLines();
    EXPECT_EQ(lines.Count(), 0u);
    EXPECT_EQ(lines.At(0), nullptr);
    store.warningLines = {L"W0", L"W1"};
    store.errorLines = {L"E0"};
    std::vector<std::wstring> shown;
    for (size_t i = 0; i < lines.Count(); ++i) shown.push_back(*lines.At(i));
    EXPECT_EQ(shown, (std::vector<std::wstring>{L"W0", L"W1", L"E0"}));
    EXPECT_EQ(lines.At(3), nullptr);
}
