#pragma once
// A core interface for the shell tests, installed into the stand-in core library while alive.
#include "core/ResourceStrings.h"

#include "MaxStandin.h"

#include <string>

namespace rudtest {

class TestCoreInterface final : public Interface {
public:
    explicit TestCoreInterface(bool withActionManager = true) : withActionManager(withActionManager) {
        maxstandin::ResetActions();
        maxstandin::SetCoreInterface(this);
    }
    ~TestCoreInterface() override {
        maxstandin::SetCoreInterface(nullptr);
        maxstandin::ResetActions();
    }
    HWND GetMAXHWnd() const override { return nullptr; }
    IActionManager* GetActionManager() override {
        return withActionManager ? maxstandin::StandardActionManager() : nullptr;
    }
    MSTR& GetCurFileName() override { return name; }
    MSTR& GetCurFilePath() override { return path; }
    BOOL FileSave() override { return FALSE; }
    int SaveToFile(const MCHAR*, BOOL, BOOL) override { return 0; }
    void RegisterExitMAXCallback(ExitMAXCallback* cb) override { maxstandin::AddExitCallback(cb); }
    void UnRegisterExitMAXCallback(ExitMAXCallback* cb) override { maxstandin::RemoveExitCallback(cb); }

    bool withActionManager;
    MSTR name, path;
};

} // namespace rudtest
