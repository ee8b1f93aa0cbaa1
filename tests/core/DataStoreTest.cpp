#include "analysis/RUDRenderingDataMgr.h"

#include <gtest/gtest.h>

TEST(DataStore, RebuildMessageLinesPutsWarningsFirstAndNeverDoubles) {
    rud::RUDRenderingDataMgr store;
    EXPECT_TRUE(store.RebuildMessageLines().empty());
    store.warningLines = {L"W0", L"W1"};
    store.errorLines = {L"E0"};
    const std::vector<std::wstring> expected = {L"W0", L"W1", L"E0"};
    EXPECT_EQ(store.RebuildMessageLines(), expected);
    EXPECT_EQ(&store.RebuildMessageLines(), &store.messageLines);
    EXPECT_EQ(store.messageLines, expected);
}
