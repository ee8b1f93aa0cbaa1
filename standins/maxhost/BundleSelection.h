#pragma once
// Which plug-in modules 3ds Max loads from the packages it found: packages for another product
// or without an UpgradeCode are left out; of packages sharing an UpgradeCode only the highest
// AppVersion counts; of that one, the "plugins parts" components whose runtime requirements
// fit this release give their modules, each relative to its bundle folder.
#include "PackageContents.h"

#include <string>
#include <vector>

namespace maxhost {

struct HostRelease {
    std::wstring os = L"Win64";
    std::wstring platform = L"3ds Max";
    int series = 2025;
};

struct BundleChoice {
    std::vector<std::wstring> modules;  // full paths, in the order of the packages
    std::vector<std::wstring> skipped;  // one line per package left out: "<folder>: <why>"
};

BundleChoice ChoosePluginModules(const std::vector<ApplicationPackage>& packages, const HostRelease& host);

// "1.3.10" > "1.3.7": numeric, part by part, missing parts count as 0.
int CompareAppVersions(const std::wstring& a, const std::wstring& b);

} // namespace maxhost
