// Our own built PackageContents.xml, read as the stand-in 3ds Max reads application bundles: it
// must name our plug-in module for 3ds Max 2025 on 64-bit Windows. (How a host picks among many
// bundles is the host's business; the "bundles" story plays it end to end.)
#include "BundleSelection.h"
#include "PackageContents.h"
#include "RUDVersion.h"
#include "tests/support/MessageBoxRecorder.h"

#include <gtest/gtest.h>
#include <objbase.h>
#include <windows.h>

#include <string>

namespace {

TEST(BundlePackage, TheBuiltPackageNamesOurPluginFor2025OnWin64) {
    ASSERT_TRUE(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    std::wstring generated = rudtest::BinFolder() + L"\\..\\generated";
    maxhost::ApplicationPackage package;
    std::wstring error;
    ASSERT_TRUE(maxhost::ReadPackageContents(generated, package, error)) << error;
    EXPECT_EQ(package.autodeskProduct, L"3ds Max");
    EXPECT_EQ(package.appVersion, RUD_VERSION_WTEXT);
    EXPECT_EQ(package.upgradeCode, L"{62AD929A-87E7-4D9F-A8F6-23F8BA6DBF98}");
    ASSERT_EQ(package.components.size(), 1u);
    EXPECT_EQ(package.components[0].description, L"plugins parts");
    EXPECT_EQ(package.components[0].requirements.os, L"Win64");
    EXPECT_EQ(package.components[0].requirements.seriesMin, L"2025");
    EXPECT_EQ(package.components[0].requirements.seriesMax, L"2025");
    maxhost::BundleChoice choice = maxhost::ChoosePluginModules({package}, maxhost::HostRelease{});
    ASSERT_EQ(choice.modules.size(), 1u);
    EXPECT_EQ(choice.modules[0], generated + L"\\Contents\\RUD_Rendering_2025.gup");
    EXPECT_TRUE(choice.skipped.empty());
    ::CoUninitialize();
}

} // namespace
