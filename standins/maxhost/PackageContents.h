#pragma once
// One application bundle's PackageContents.xml, as 3ds Max reads it at start-up: the package's
// identity and, per Components group, its runtime requirements and the files it names.
#include <string>
#include <vector>

namespace maxhost {

struct RuntimeRequirements {
    bool present = false;        // the element exists (else the package's own apply)
    std::wstring os;             // e.g. "Win64"; several values are separated by "|"
    std::wstring platform;       // e.g. "3ds Max"
    std::wstring seriesMin;      // release years; empty: no bound
    std::wstring seriesMax;
};

struct PackageComponents {
    std::wstring description;    // the kind of entries: "plugins parts", "macroscripts parts", ...
    RuntimeRequirements requirements;
    std::vector<std::wstring> moduleNames;  // as written, relative to the bundle ("./Contents/...")
};

struct ApplicationPackage {
    std::wstring bundleFolder;   // the folder holding PackageContents.xml
    std::wstring autodeskProduct;
    std::wstring name;
    std::wstring appVersion;
    std::wstring upgradeCode;
    RuntimeRequirements requirements;
    std::vector<PackageComponents> components;
};

// Reads `bundleFolder`\PackageContents.xml with MSXML (COM must be initialised on the calling
// thread). False, with a one-line reason in `error`, when the file is missing, not well-formed
// XML, or its root is not an ApplicationPackage.
[[nodiscard]] bool ReadPackageContents(const std::wstring& bundleFolder, ApplicationPackage& package,
                                       std::wstring& error);

} // namespace maxhost
