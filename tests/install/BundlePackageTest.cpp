// Application bundles as the stand-in 3ds Max reads them: our own built PackageContents.xml,
// packages for other releases, broken files, and several releases of one plug-in side by side.
#include "BundleSelection.h"
#include "PackageContents.h"
#include "RUDVersion.h"
#include "tests/support/MessageBoxRecorder.h"

#include <gtest/gtest.h>
#include <objbase.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

using maxhost::ApplicationPackage;
using maxhost::ChoosePluginModules;
using maxhost::HostRelease;
using maxhost::ReadPackageContents;

const char* const kUpgrade = "{62AD929A-87E7-4D9F-A8F6-23F8BA6DBF98}";

// A package with one Components group; `requirements` is the group's RuntimeRequirements
// element (empty: none), `packageRequirements` the package's own.
std::string Package(const std::string& version, const std::string& requirements,
                    const std::string& description = "plugins parts", const std::string& upgrade = kUpgrade,
                    const std::string& packageRequirements = "", const std::string& product = "3ds Max") {
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
           "<ApplicationPackage SchemaVersion=\"1.0\" AutodeskProduct=\"" + product +
           "\" ProductType=\"Application\" Name=\"RUD Rendering\" AppVersion=\"" + version +
           "\" UpgradeCode=\"" + upgrade + "\">\n"
           "  <CompanyDetails Name=\"RUD Rendering\" />\n" + packageRequirements +
           "  <Components Description=\"" + description + "\">\n" + requirements +
           "    <ComponentEntry AppName=\"RUD Rendering\" Version=\"" + version +
           "\" ModuleName=\"./Contents/RUD_Rendering_2025.gup\" />\n"
           "  </Components>\n"
           "</ApplicationPackage>\n";
}
std::string Requirements(const std::string& os, const std::string& seriesMin, const std::string& seriesMax,
                         const std::string& platform = "3ds Max") {
    return "    <RuntimeRequirements OS=\"" + os + "\" Platform=\"" + platform + "\" SeriesMin=\"" + seriesMin +
           "\" SeriesMax=\"" + seriesMax + "\" />\n";
}

struct BundleFolders : ::testing::Test {
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
        wchar_t temp[MAX_PATH] = {};
        ::GetTempPathW(MAX_PATH, temp);
        root = std::filesystem::path(temp) / ("rud_bundles_" + std::to_string(::GetCurrentProcessId()));
        std::filesystem::remove_all(root);
        std::filesystem::create_directories(root);
    }
    void TearDown() override {
        std::error_code ignored;
        std::filesystem::remove_all(root, ignored);
        ::CoUninitialize();
    }
    std::wstring Bundle(const std::wstring& name, const std::string& xml) {
        std::filesystem::path folder = root / name;
        std::filesystem::create_directories(folder);
        std::ofstream(folder / "PackageContents.xml", std::ios::binary) << xml;
        return folder.wstring();
    }
    // Reads the named bundles in order and returns what the host would load.
    maxhost::BundleChoice Choose(const std::vector<std::wstring>& folders) {
        std::vector<ApplicationPackage> packages;
        for (const std::wstring& folder : folders) {
            ApplicationPackage package;
            std::wstring error;
            EXPECT_TRUE(ReadPackageContents(folder, package, error)) << error;
            packages.push_back(package);
        }
        return ChoosePluginModules(packages, HostRelease{});
    }
    std::filesystem::path root;
};

TEST_F(BundleFolders, TheBuiltPackageNamesOurPluginFor2025OnWin64) {
    std::wstring generated = rudtest::BinFolder() + L"\\..\\generated";
    ApplicationPackage package;
    std::wstring error;
    ASSERT_TRUE(ReadPackageContents(generated, package, error)) << error;
    EXPECT_EQ(package.autodeskProduct, L"3ds Max");
    EXPECT_EQ(package.appVersion, RUD_VERSION_WTEXT);
    EXPECT_EQ(package.upgradeCode, L"{62AD929A-87E7-4D9F-A8F6-23F8BA6DBF98}");
    ASSERT_EQ(package.components.size(), 1u);
    EXPECT_EQ(package.components[0].description, L"plugins parts");
    EXPECT_EQ(package.components[0].requirements.os, L"Win64");
    EXPECT_EQ(package.components[0].requirements.seriesMin, L"2025");
    EXPECT_EQ(package.components[0].requirements.seriesMax, L"2025");
    maxhost::BundleChoice choice = ChoosePluginModules({package}, HostRelease{});
    ASSERT_EQ(choice.modules.size(), 1u);
    EXPECT_EQ(choice.modules[0], generated + L"\\Contents\\RUD_Rendering_2025.gup");
    EXPECT_TRUE(choice.skipped.empty());
}

TEST_F(BundleFolders, RuntimeRequirementsDecideWhetherThePluginLoads) {
    struct Case {
        const char* name;
        std::string xml;
        bool loads;
    };
    const Case cases[] = {
        {"exactly 2025", Package("1.0.0", Requirements("Win64", "2025", "2025")), true},
        {"2024 only", Package("1.0.0", Requirements("Win64", "2024", "2024")), false},
        {"2026 onwards", Package("1.0.0", Requirements("Win64", "2026", "")), false},
        {"a range holding 2025", Package("1.0.0", Requirements("Win64", "2023", "2027")), true},
        {"no upper bound", Package("1.0.0", Requirements("Win64", "2022", "")), true},
        {"32-bit only", Package("1.0.0", Requirements("Win32", "2025", "2025")), false},
        {"either bitness", Package("1.0.0", Requirements("Win32|Win64", "2025", "2025")), true},
        {"another product", Package("1.0.0", Requirements("Win64", "2025", "2025", "AutoCAD")), false},
        {"scripts, not plug-ins", Package("1.0.0", Requirements("Win64", "2025", "2025"), "macroscripts parts"), false},
        {"inherits the package's", Package("1.0.0", "", "plugins parts", kUpgrade, Requirements("Win64", "2025", "2025")), true},
        {"requirements nowhere", Package("1.0.0", ""), false},
        {"package for AutoCAD", Package("1.0.0", Requirements("Win64", "2025", "2025"), "plugins parts", kUpgrade, "", "AutoCAD"), false},
        {"no UpgradeCode", Package("1.0.0", Requirements("Win64", "2025", "2025"), "plugins parts", ""), false},
    };
    int index = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::wstring folder = Bundle(L"case" + std::to_wstring(index++) + L".bundle", c.xml);
        maxhost::BundleChoice choice = Choose({folder});
        EXPECT_EQ(choice.modules.size(), c.loads ? 1u : 0u);
        // A package that gives nothing says why, naming its folder.
        ASSERT_EQ(choice.skipped.size(), c.loads ? 0u : 1u);
        if (!c.loads) {
            EXPECT_EQ(choice.skipped[0].rfind(folder + L": ", 0), 0u) << choice.skipped[0];
        }
    }
}

TEST_F(BundleFolders, TheHighestAppVersionOfAnUpgradeCodeWins) {
    const std::string other = "{0E5A41F6-5C02-4B8B-9D0E-6B9C2F11A001}";
    std::wstring old = Bundle(L"a_old.bundle", Package("1.3.7", Requirements("Win64", "2025", "2025")));
    std::wstring newer = Bundle(L"b_new.bundle", Package("1.3.10", Requirements("Win64", "2025", "2025")));
    // The same code written in lower case is the same plug-in.
    std::string lowered = kUpgrade;
    for (char& c : lowered) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    std::wstring oldest = Bundle(L"c_oldest.bundle", Package("1.2", Requirements("Win64", "2025", "2025"), "plugins parts", lowered));
    std::wstring unrelated = Bundle(L"d_other.bundle", Package("0.1", Requirements("Win64", "2025", "2025"), "plugins parts", other));

    maxhost::BundleChoice choice = Choose({old, newer, oldest, unrelated});
    ASSERT_EQ(choice.modules.size(), 2u);
    EXPECT_EQ(choice.modules[0], newer + L"\\Contents\\RUD_Rendering_2025.gup");
    EXPECT_EQ(choice.modules[1], unrelated + L"\\Contents\\RUD_Rendering_2025.gup");
    ASSERT_EQ(choice.skipped.size(), 2u);
    EXPECT_EQ(choice.skipped[0].rfind(old + L": ", 0), 0u);
    EXPECT_EQ(choice.skipped[1].rfind(oldest + L": ", 0), 0u);
}

TEST_F(BundleFolders, UnreadablePackagesAreRefusedWithAReason) {
    struct Case {
        const char* name;
        const char* xml;  // null: no PackageContents.xml at all
        const wchar_t* reason;
    };
    const Case cases[] = {
        {"unclosed element", "<?xml version=\"1.0\"?>\n<ApplicationPackage AppVersion=\"1.0\">\n<Components>\n</ApplicationPackage>\n",
         L"not well-formed XML"},
        {"truncated", "<?xml version=\"1.0\"?>\n<ApplicationPackage AppVersion=\"1.0\"", L"not well-formed XML"},
        {"not XML", "this is not a package", L"not well-formed XML"},
        {"empty file", "", L"not well-formed XML"},
        {"another root", "<?xml version=\"1.0\"?><Package/>", L"the root element is not ApplicationPackage"},
        {"missing", nullptr, L"no PackageContents.xml"},
    };
    int index = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::wstring folder = (root / (L"bad" + std::to_wstring(index++) + L".bundle")).wstring();
        if (c.xml) Bundle(folder.substr(folder.find_last_of(L'\\') + 1), c.xml);
        else std::filesystem::create_directories(folder);
        ApplicationPackage package;
        std::wstring error;
        EXPECT_FALSE(ReadPackageContents(folder, package, error));
        EXPECT_EQ(error.rfind(c.reason, 0), 0u) << std::string(error.begin(), error.end());
    }
}

TEST(AppVersions, CompareNumericallyPartByPart) {
    struct Case {
        const wchar_t* a;
        const wchar_t* b;
        int sign;
    };
    const Case cases[] = {
        {L"1.3.10", L"1.3.7", 1}, {L"1.3.7", L"1.3.7", 0}, {L"1.3", L"1.3.0", 0},
        {L"2.0.0", L"10.0.0", -1}, {L"1.3.7", L"1.4", -1}, {L"", L"0.0.1", -1},
    };
    for (const Case& c : cases) {
        int result = maxhost::CompareAppVersions(c.a, c.b);
        EXPECT_EQ((result > 0) - (result < 0), c.sign) << std::string(c.a, c.a + wcslen(c.a)) << " vs "
                                                       << std::string(c.b, c.b + wcslen(c.b));
    }
}

} // namespace
