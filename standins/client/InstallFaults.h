#pragma once
// A damaged installation of the client, for the fault tests: what a user's machine may hold after
// a failed update, a disk clean-up or another program's meddling. Applied after the layout.
#include <string>

namespace rudclient {

struct InstallFaults {
    std::wstring settings;    // "", "missing", "no-port" or "utf16" (the settings file as UTF-16 with BOM)
    bool garbageCustomBin = false;   // "custom.bin" holding random bytes
    bool noSevenZip = false;         // 7-Zip removed from the data folder
};

// Parses one --settings value; false for an unknown one.
bool KnownSettingsFault(const std::wstring& value);
// Applies the faults to the laid-out data folder; false (with a line on stderr) when it cannot.
bool ApplyInstallFaults(const InstallFaults& faults);

} // namespace rudclient
