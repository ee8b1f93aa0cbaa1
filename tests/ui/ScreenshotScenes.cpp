// Shows the dialogs one by one for scripts/screenshots.sh: with RUD_SCREENSHOT_DIR set, each
// test opens a dialog filled like a real scene, writes "<name>.ready" holding the dialog's
// screen rectangle into that folder and waits until the script has written "<name>.png".
#include "analysis/RUDRenderingDataMgr.h"
#include "core/ResourceStrings.h"
#include "core/TextConversions.h"
#include "resources/ControlIds.h"
#include "tests/support/FakeHost.h"
#include "tests/support/MessageBoxRecorder.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/BusyDialog.h"
#include "ui/CameraDialog.h"
#include "ui/MainDialog.h"
#include "ui/RUDRenderingUiMgr.h"
#include "ui/SceneWarningsDialog.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace {

std::wstring OutputFolder() {
    const wchar_t* folder = _wgetenv(L"RUD_SCREENSHOT_DIR");
    return folder ? folder : L"";
}

// RUD_SCREENSHOT_LOCALE picks the language file (en-US by default).
void UseLanguage() {
    const wchar_t* locale = _wgetenv(L"RUD_SCREENSHOT_LOCALE");
    std::wstring path = rudtest::BinFolder() + L"\\" + (locale ? locale : L"en-US") + L"\\RUD_Rendering_2025.gup.mui";
    HMODULE module = ::LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (module) rud::SetLanguageModule(module);
}

bool FileExists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Shows `dialog` at a fixed place, announces it and pumps messages until the picture exists.
void Present(HWND dialog, const std::wstring& name) {
    ::SetWindowPos(dialog, HWND_TOP, 40, 40, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    ::UpdateWindow(dialog);
    rudtest::PumpMessages(400);
    RECT rect{};
    ::GetWindowRect(dialog, &rect);
    std::wstring folder = OutputFolder();
    {
        std::ofstream ready(rud::WideToAnsiChs(folder + L"\\" + name + L".ready"));
        ready << (rect.right - rect.left) << "x" << (rect.bottom - rect.top) << "+" << rect.left << "+" << rect.top << "\n";
    }
    std::wstring picture = folder + L"\\" + name + L".png";
    for (int i = 0; i < 600 && !FileExists(picture); ++i) rudtest::PumpMessages(50);
}

std::string SampleFile(const char* name) {
    std::wstring path = rudtest::BinFolder() + L"\\..\\..\\..\\samples\\analyses\\" + rud::Utf8ToWide(name);
    std::ifstream file(rud::WideToAnsiChs(path), std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

class Screenshots : public ::testing::Test {
protected:
    void SetUp() override {
        if (OutputFolder().empty()) GTEST_SKIP() << "RUD_SCREENSHOT_DIR is not set";
        UseLanguage();
        rudtest::RegisterFakeSpinnerClass();
        fake.host.sceneFileName = L"Warehouse.max";
    }
    rudtest::ScopedFakeHost fake;
    rudtest::MessageBoxRecorder boxes;
    rudtest::ScopedSettingsFile settings;
};

HWND OpenMain(rudtest::FakeHost& host, const char* sample) {
    std::string json = SampleFile(sample);
    rudtest::AnswerAnalysisWith(host, json);
    return rudtest::CreateDialogFromLanguageFile(IDD_MAIN, rud::MainDialogProc);
}

TEST_F(Screenshots, MainDialogVRay) {
    // The warehouse's refused camera name would close the dialog at once: rename it here.
    std::string json = SampleFile("problem_warehouse.json");
    size_t refused = json.find("Cam_Dock|East%");
    if (refused != std::string::npos) json.replace(refused, 14, "Cam_Dock_East");
    rudtest::AnswerAnalysisWith(fake.host, json);
    HWND dialog = rudtest::CreateDialogFromLanguageFile(IDD_MAIN, rud::MainDialogProc);
    ASSERT_TRUE(dialog);
    Present(dialog, L"main_vray");
    ::DestroyWindow(dialog);
}

TEST_F(Screenshots, MainDialogCorona) {
    HWND dialog = OpenMain(fake.host, "corona_loft.json");
    ASSERT_TRUE(dialog);
    Present(dialog, L"main_corona");
    ::DestroyWindow(dialog);
}

TEST_F(Screenshots, CameraDialogs) {
    auto& store = rud::RUDRenderingDataMgr::Instance();
    auto& ui = rud::RUDRenderingUiMgr::Instance();
    store.cameras[L"Villa_Terrace"] = {2560, 1440, 0, L"PNG", true, L"Villa_Terrace", false};
    store.cameras[L"Villa_Pool"] = {1920, 1080, 0, L"EXR", true, L"Villa_Pool", true};
    ui.selectedCameraNames = {L"Villa_Terrace"};
    store.cameraDialogAllMode = 0;
    HWND single = rudtest::CreateDialogFromLanguageFile(IDD_CAMERA, rud::CameraDialogProc);
    ASSERT_TRUE(single);
    Present(single, L"camera_single");
    ::DestroyWindow(single);
    ui.selectedCameraNames = {L"Villa_Terrace", L"Villa_Pool"};
    store.cameraDialogAllMode = 1;
    HWND all = rudtest::CreateDialogFromLanguageFile(IDD_CAMERA, rud::CameraDialogProc);
    ASSERT_TRUE(all);
    // One field switched on, to show both pictures.
    ::SendMessageW(all, WM_COMMAND, MAKEWPARAM(IDC_CAMERA_FRAME_ON, STN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(all, IDC_CAMERA_FRAME_ON)));
    Present(all, L"camera_all");
    ::DestroyWindow(all);
    store.cameraDialogAllMode = 0;
}

TEST_F(Screenshots, SceneWarnings) {
    rud::RUDRenderingUiMgr::Instance().cameraCheckLines = {L"Cam_Dock|East%", L"Entrance.", L" Lobby"};
    HWND dialog = rudtest::CreateDialogFromLanguageFile(IDD_SCENE_WARNINGS, rud::SceneWarningsDialogProc);
    ASSERT_TRUE(dialog);
    Present(dialog, L"scene_warnings");
    ::DestroyWindow(dialog);
}

TEST_F(Screenshots, BusyDialog) {
    auto& store = rud::RUDRenderingDataMgr::Instance();
    store.busyStage = rud::kBusyPacking;
    store.busyArchiveBytes = 12897485;
    store.busyHidden = false;
    store.busyCloseRequested = false;
    HWND dialog = rudtest::CreateDialogFromLanguageFile(IDD_BUSY, rud::BusyDialogProc);
    ASSERT_TRUE(dialog);
    Present(dialog, L"busy");
    ::DestroyWindow(dialog);
}

} // namespace
