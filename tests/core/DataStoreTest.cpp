#include "analysis/RUDRenderingDataMgr.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

namespace {

TEST(DataStore, FreshStoreHasItsDefaults) {
    rud::RUDRenderingDataMgr store;
    EXPECT_EQ(store.renderModeCode, 1);
    EXPECT_FLOAT_EQ(store.gammaOut, 2.2f);
    EXPECT_DOUBLE_EQ(store.aoRadius, 1000.0);
    EXPECT_EQ(store.aoSubdivs, 16);
    EXPECT_DOUBLE_EQ(store.uiScale, 1.0);
    EXPECT_EQ(store.submitState.load(), -1);
    EXPECT_EQ(store.busyState.load(), -1);
    EXPECT_EQ(store.CamerasRef()[L"new camera"].startFrame, 1);
    EXPECT_EQ(store.rememberedCheckIds, (std::vector<int32_t>{1043, 1044, 1051, 1053, 1056, 1002, 1001}));
    EXPECT_EQ(store.rememberedComboIds, (std::vector<int32_t>{1057}));
    EXPECT_EQ(store.rememberedEditIds, (std::vector<int32_t>{1047, 1040, 1037, 1039, 1054, 1045}));
    EXPECT_EQ(store.rememberedRadioIds, (std::vector<int32_t>{1030, 1031, 1032, 1033}));
    EXPECT_EQ(store.dataLog.BasePath(), store.dataLog.Folder() + "\\kiv_data");
}

TEST(DataStore, RebuildMessageLinesPutsWarningsFirstAndNeverDoubles) {
    rud::RUDRenderingDataMgr store;
    EXPECT_TRUE(store.RebuildMessageLines().empty());
    store.warningLines = {L"W0", L"W1"};
    store.errorLines = {L"E0"};
    const std::vector<std::wstring> expected = {L"W0", L"W1", L"E0"};
    EXPECT_EQ(store.RebuildMessageLines(), expected);
    EXPECT_EQ(store.RebuildMessageLines(), expected);
    EXPECT_EQ(&store.RebuildMessageLines(), &store.messageLines);
}

TEST(DataStore, InstanceRacedFromTwoThreadsIsOneObject) {
    rud::RUDRenderingDataMgr* seen[2] = {};
    std::thread a([&] { seen[0] = &rud::RUDRenderingDataMgr::Instance(); });
    std::thread b([&] { seen[1] = &rud::RUDRenderingDataMgr::Instance(); });
    a.join();
    b.join();
    EXPECT_EQ(seen[0], seen[1]);
    EXPECT_EQ(seen[0], &rud::RUDRenderingDataMgr::Instance());
}

} // namespace
