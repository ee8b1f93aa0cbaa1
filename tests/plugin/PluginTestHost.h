#pragma once
// A core interface for the shell tests, installed into the stand-in core library while alive.
#include "MaxStandin.h"

namespace rudtest {

class TestCoreInterface final : public Interface {
public:
    explicit TestCoreInterface(bool withActionManager = true);
    ~TestCoreInterface() override;
    HWND GetMAXHWnd() const override { return nullptr; }
    IActionManager* GetActionManager() override;
    MSTR& GetCurFileName() override { return name; }
    MSTR& GetCurFilePath() override { return path; }
    BOOL FileSave() override { return FALSE; }
    int SaveToFile(const MCHAR*, BOOL, BOOL) override { return 0; }

    bool withActionManager;
    MSTR name;
    MSTR path;
};

// Text of a string of the loaded language file, copied.
std::wstring Text(int id);

} // namespace rudtest
