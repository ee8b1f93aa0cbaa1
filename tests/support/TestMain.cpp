// main() of every test program: records the program as the module (for its images), loads the
// English language file from bin\en-US, and refuses real message boxes (a box nobody answers
// would hang the run): a test that expects boxes installs a MessageBoxRecorder.
#include "core/MessageBoxes.h"
#include "core/ResourceStrings.h"
#include "tests/support/MessageBoxRecorder.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <string>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);
    rud::SetModuleInstance(::GetModuleHandleW(nullptr));
    rud::UniqueModule module = rudtest::LoadLanguageFile(L"en-US");
    if (!module) {
        fprintf(stderr, "cannot load the language file en-US\\RUD_Rendering_2025.gup.mui\n");
        return 2;
    }
    rud::SetLanguageModule(module.release());  // for the whole run
    rudtest::InstallUnexpectedBoxGuard();
    return RUN_ALL_TESTS();
}
