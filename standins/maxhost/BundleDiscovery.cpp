#include "BundleDiscovery.h"

#include "HostOutput.h"
#include "PackageContents.h"
#include "core/WinHandles.h"

#include <windows.h>
#include <shlobj.h>

#include <algorithm>

namespace maxhost {
namespace {

struct FindTraits {
    static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
    static bool IsValid(HANDLE h) { return h != INVALID_HANDLE_VALUE; }
    static void Close(HANDLE h) { ::FindClose(h); }
};
using UniqueFind = rud::UniqueResource<HANDLE, FindTraits>;

std::wstring ApplicationPluginsFolder(int csidl) {
    wchar_t folder[MAX_PATH] = {};
    if (FAILED(::SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, folder))) return {};
    return std::wstring(folder) + L"\\Autodesk\\ApplicationPlugins";
}

// The sub-folders of `root`, sorted so that every run sees the packages in the same order.
std::vector<std::wstring> BundleFolders(const std::wstring& root) {
    std::vector<std::wstring> folders;
    WIN32_FIND_DATAW found{};
    UniqueFind search(::FindFirstFileW((root + L"\\*").c_str(), &found));
    if (!search) return folders;
    do {
        std::wstring name = found.cFileName;
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && name != L"." && name != L"..")
            folders.push_back(root + L"\\" + name);
    } while (::FindNextFileW(search.get(), &found));
    std::sort(folders.begin(), folders.end());
    return folders;
}

} // namespace

std::vector<std::wstring> DiscoverBundlePlugins(const HostRelease& host) {
    std::vector<ApplicationPackage> packages;
    for (int csidl : {CSIDL_COMMON_APPDATA, CSIDL_APPDATA}) {
        std::wstring root = ApplicationPluginsFolder(csidl);
        if (root.empty()) continue;
        for (const std::wstring& folder : BundleFolders(root)) {
            ApplicationPackage package;
            std::wstring error;
            if (ReadPackageContents(folder, package, error)) packages.push_back(std::move(package));
            else PrintLine(L"BUNDLE SKIPPED " + folder + L": " + error);
        }
    }
    BundleChoice choice = ChoosePluginModules(packages, host);
    for (const std::wstring& line : choice.skipped) PrintLine(L"BUNDLE SKIPPED " + line);
    for (const std::wstring& module : choice.modules) PrintLine(L"BUNDLE " + module);
    return choice.modules;
}

} // namespace maxhost
