#pragma once
// Finds plug-ins the way 3ds Max does when it starts: every folder under
// %ProgramData%\Autodesk\ApplicationPlugins (all users), then %AppData%\... (this user), that
// holds a PackageContents.xml. Prints "BUNDLE <module>" for each module it will load and
// "BUNDLE SKIPPED <folder>: <why>" for each package it leaves out.
#include "BundleSelection.h"

#include <string>
#include <vector>

namespace maxhost {

// Needs COM initialised on the calling thread (the packages are read with MSXML).
std::vector<std::wstring> DiscoverBundlePlugins(const HostRelease& host);

} // namespace maxhost
