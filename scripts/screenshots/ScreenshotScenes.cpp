// Shows the dialogs one by one for scripts/screenshots.sh: with RUD_SCREENSHOT_DIR set, each
// dialog is opened filled like a real scene, "<name>.ready" holding its screen rectangle is
// written into that folder, and the dialog stays until the script has written "<name>.png".
#include "analysis/RUDRenderingDataMgr.h"
#include "core/ResourceStrings.h"
#include "core/TextConversions.h"
#include "resources/ControlIds.h"
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

using namespace rudtest;

std::wstring Environment(const wchar_t* name, const wchar_t* fallback) {
    const wchar_t* value = _wgetenv(name);
    return value ? value : fallback;
}

// Shows `dialog` at a fixed place, announces it and pumps messages until the picture exists.
void Present(HWND dialog, const std::wstring& name) {
    ::SetWindowPos(dialog, HWND_TOP, 40, 40, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    ::UpdateWindow(dialog);
    PumpMessages(400);
    RECT rect{};
    ::GetWindowRect(dialog, &rect);
    std::wstring stem = Environment(L"RUD_SCREENSHOT_DIR", L"") + L"\\" + name;
    std::ofstream(rud::WideToAnsiChs(stem + L".ready"))
        << (rect.right - rect.left) << "x" << (rect.bottom - rect.top) << "+" << rect.left << "+" << rect.top << "\n";
    for (int i = 0; i < 600 && ::GetFileAttributesW((stem + L".png").c_str()) == INVALID_FILE_ATTRIBUTES; ++i)
        PumpMessages(50);
}

std::string SampleFile(const char* name) {
    std::wstring path = BinFolder() + L"\\..\\..\\..\\samples\\analyses\\" + rud::Utf8ToWide(name);
    std::stringstream text;
    text << std::ifstream(rud::WideToAnsiChs(path), std::ios::binary).rdbuf();
    return text.str();
}

TEST(Screenshots, EveryDialog) {
    if (Environment(L"RUD_SCREENSHOT_DIR", L"").empty()) GTEST_SKIP() << "RUD_SCREENSHOT_DIR is not set";
    // RUD_SCREENSHOT_LOCALE picks the language file.
    std::wstring language = BinFolder() + L"\\" + Environment(L"RUD_SCREENSHOT_LOCALE", L"en-US") + L"\\RUD_Rendering_2025.gup.mui";
    HMODULE module = ::LoadLibraryExW(language.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (module) rud::SetLanguageModule(module);
    RegisterFakeSpinnerClass();
    ScopedFakeHost fake;
    MessageBoxRecorder boxes;
    ScopedSettingsFile settings;
    settings.Set(L"lowerversion", L"1.3.7");
    fake.host.sceneFileName = L"Warehouse.max";
    auto& store = rud::RUDRenderingDataMgr::Instance();
    auto& ui = rud::RUDRenderingUiMgr::Instance();
    store.busyStage = rud::kBusyPacking;
    store.busyArchiveBytes = 12897485;
    store.busyHidden = false;
    store.busyCloseRequested = false;
    auto openMain = [&](std::string json) {
        // The warehouse's refused camera name would close the dialog at once: rename it here.
        size_t refused = json.find("Cam_Dock|East%");
        if (refused != std::string::npos) json.replace(refused, 14, "Cam_Dock_East");
        fake.host.AnswerAnalysis(json);
        return CreateDialogFromLanguageFile(IDD_MAIN, rud::MainDialogProc);
    };
    auto openCamera = [&](bool allMode) {
        store.ClearCameras();
        store.cameras[L"Villa_Terrace"] = {2560, 1440, 0, L"PNG", true, L"Villa_Terrace", false};
        store.cameras[L"Villa_Pool"] = {1920, 1080, 0, L"EXR", true, L"Villa_Pool", true};
        ui.selectedCameraNames = allMode ? std::vector<std::wstring>{L"Villa_Terrace", L"Villa_Pool"}
                                         : std::vector<std::wstring>{L"Villa_Terrace"};
        store.cameraDialogAllMode = allMode ? 1 : 0;
        HWND dialog = CreateDialogFromLanguageFile(IDD_CAMERA, rud::CameraDialogProc);
        if (allMode)   // one field switched on, to show both pictures
            ::SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_CAMERA_FRAME_ON, STN_CLICKED),
                           reinterpret_cast<LPARAM>(::GetDlgItem(dialog, IDC_CAMERA_FRAME_ON)));
        return dialog;
    };
    const std::pair<const wchar_t*, std::function<HWND()>> shots[] = {
        {L"main_vray", [&] { return openMain(SampleFile("problem_warehouse.json")); }},
        {L"main_corona", [&] { return openMain(SampleFile("corona_loft.json")); }},
        {L"camera_single", [&] { return openCamera(false); }},
        {L"camera_all", [&] { return openCamera(true); }},
        {L"scene_warnings", [&] {
             ui.cameraCheckLines = {L"Cam_Dock|East%", L"Entrance.", L" Lobby"};
             return CreateDialogFromLanguageFile(IDD_SCENE_WARNINGS, rud::SceneWarningsDialogProc);
         }},
        {L"busy", [&] { return CreateDialogFromLanguageFile(IDD_BUSY, rud::BusyDialogProc); }},
        {L"busy_percent", [&] {
             store.busyPackPercent = 37;
             return CreateDialogFromLanguageFile(IDD_BUSY, rud::BusyDialogProc);
         }},
    };
    for (const auto& shot : shots) {
        HWND dialog = shot.second();
        ASSERT_TRUE(dialog) << shot.first;
        Present(dialog, shot.first);
        ::DestroyWindow(dialog);
    }
}

} // namespace
