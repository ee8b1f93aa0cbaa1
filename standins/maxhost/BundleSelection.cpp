#include "BundleSelection.h"

#include <cwctype>
#include <map>

namespace maxhost {
namespace {

std::wstring Lower(std::wstring text) {
    for (wchar_t& c : text) c = static_cast<wchar_t>(std::towlower(c));
    return text;
}

// Attribute values such as OS="Win32|Win64" name several choices.
bool ListHolds(const std::wstring& list, const std::wstring& wanted) {
    size_t start = 0;
    const std::wstring lowered = Lower(list), needle = Lower(wanted);
    for (;;) {
        size_t bar = lowered.find(L'|', start);
        std::wstring item = lowered.substr(start, bar == std::wstring::npos ? std::wstring::npos : bar - start);
        while (!item.empty() && item.front() == L' ') item.erase(item.begin());
        while (!item.empty() && item.back() == L' ') item.pop_back();
        if (item == needle) return true;
        if (bar == std::wstring::npos) return false;
        start = bar + 1;
    }
}

// The release year at the start of a series value ("2025", "2025.1"); -1 when there is none.
int SeriesYear(const std::wstring& text) {
    int year = -1;
    for (wchar_t c : text) {
        if (c < L'0' || c > L'9') break;
        year = (year < 0 ? 0 : year * 10) + (c - L'0');
        if (year > 100000) return -1;
    }
    return year;
}

bool Fits(const RuntimeRequirements& requirements, const HostRelease& host) {
    if (!requirements.present) return false;
    if (!ListHolds(requirements.os, host.os) || !ListHolds(requirements.platform, host.platform)) return false;
    if (!requirements.seriesMin.empty()) {
        int low = SeriesYear(requirements.seriesMin);
        if (low < 0 || host.series < low) return false;
    }
    if (!requirements.seriesMax.empty()) {
        int high = SeriesYear(requirements.seriesMax);
        if (high < 0 || host.series > high) return false;
    }
    return true;
}

std::wstring ModulePath(const std::wstring& bundleFolder, std::wstring moduleName) {
    for (wchar_t& c : moduleName) if (c == L'/') c = L'\\';
    if (moduleName.rfind(L".\\", 0) == 0) moduleName.erase(0, 2);
    return bundleFolder + L"\\" + moduleName;
}

} // namespace

int CompareAppVersions(const std::wstring& a, const std::wstring& b) {
    size_t i = 0, j = 0;
    while (i < a.size() || j < b.size()) {
        unsigned long long x = 0, y = 0;
        while (i < a.size() && a[i] != L'.') x = x * 10 + (iswdigit(a[i]) ? a[i] - L'0' : 0), ++i;
        while (j < b.size() && b[j] != L'.') y = y * 10 + (iswdigit(b[j]) ? b[j] - L'0' : 0), ++j;
        if (x != y) return x < y ? -1 : 1;
        if (i < a.size()) ++i;
        if (j < b.size()) ++j;
    }
    return 0;
}

BundleChoice ChoosePluginModules(const std::vector<ApplicationPackage>& packages, const HostRelease& host) {
    BundleChoice choice;
    // The package that wins each UpgradeCode; the first one found wins a tie.
    std::map<std::wstring, size_t> newest;
    std::vector<bool> candidate(packages.size(), false);
    for (size_t i = 0; i < packages.size(); ++i) {
        const ApplicationPackage& package = packages[i];
        if (package.autodeskProduct != host.platform) {
            choice.skipped.push_back(package.bundleFolder + L": not a " + host.platform + L" package");
            continue;
        }
        if (package.upgradeCode.empty()) {
            choice.skipped.push_back(package.bundleFolder + L": no UpgradeCode");
            continue;
        }
        candidate[i] = true;
        auto [at, fresh] = newest.emplace(Lower(package.upgradeCode), i);
        if (!fresh && CompareAppVersions(package.appVersion, packages[at->second].appVersion) > 0) at->second = i;
    }

    const std::wstring kind = L"plugins parts";
    for (size_t i = 0; i < packages.size(); ++i) {
        if (!candidate[i]) continue;
        const ApplicationPackage& package = packages[i];
        size_t winner = newest[Lower(package.upgradeCode)];
        if (winner != i) {
            choice.skipped.push_back(package.bundleFolder + L": AppVersion " + package.appVersion + L" gives way to " +
                                     packages[winner].appVersion + L" in " + packages[winner].bundleFolder);
            continue;
        }
        size_t before = choice.modules.size();
        for (const PackageComponents& components : package.components) {
            if (Lower(components.description) != kind) continue;
            const RuntimeRequirements& requirements =
                components.requirements.present ? components.requirements : package.requirements;
            if (!Fits(requirements, host)) continue;
            for (const std::wstring& name : components.moduleNames)
                if (!name.empty()) choice.modules.push_back(ModulePath(package.bundleFolder, name));
        }
        if (choice.modules.size() == before)
            choice.skipped.push_back(package.bundleFolder + L": no plugins parts for " + host.platform + L" " +
                                     std::to_wstring(host.series) + L" on " + host.os);
    }
    return choice;
}

} // namespace maxhost
