#include "plugin/RUDScriptInterface.h"

#include "pipeline/RUDRenderingScriptMgr.h"
#include "pipeline/ScriptResults.h"
#include "plugin/PluginIdentifiers.h"
#include "submit/SubmitResult.h"

#include <string>
#include <vector>

namespace rud {
namespace {

std::vector<std::wstring> Texts(const Tab<const MCHAR*>* tab) {
    std::vector<std::wstring> texts;
    for (int i = 0; tab && i < tab->Count(); ++i) texts.emplace_back((*tab)[i] ? (*tab)[i] : L"");
    return texts;
}

template <typename Field>
Tab<MSTR*> TextTab(Field field) {
    Tab<MSTR*> tab;
    for (const ScriptCamera& camera : RUDRenderingScriptMgr::Instance().Cameras()) {
        MSTR* text = new MSTR(field(camera).c_str());
        tab.Append(1, &text);
    }
    return tab;
}

template <typename Field>
Tab<int> NumberTab(Field field) {
    Tab<int> tab;
    for (const ScriptCamera& camera : RUDRenderingScriptMgr::Instance().Cameras()) {
        int value = field(camera);
        tab.Append(1, &value);
    }
    return tab;
}

constexpr int kSubmitArgumentCount = 16;

// MAXScript calls these on 3ds Max's main thread; nothing may leave them as an exception.
template <typename Result, typename Work>
Result Guarded(Work work, Result failed) {
    try {
        return work();
    } catch (...) {
        return failed;
    }
}

class RUDRenderingScript final : public IRUDRenderingScript {
public:
    DECLARE_DESCRIPTOR(RUDRenderingScript)
    BEGIN_FUNCTION_MAP
        FN_0(kFnAnalyse, TYPE_INT, Analyse)
        FN_VA(kFnSubmit, TYPE_INT, Submit)
        FN_0(kFnResult, TYPE_INT, Result)
        FN_0(kFnLastMessage, TYPE_TSTR_BV, LastMessage)
        FN_0(kFnRenderer, TYPE_TSTR_BV, Renderer)
        FN_0(kFnCameras, TYPE_TSTR_TAB_BV, Cameras)
        FN_0(kFnCameraWidths, TYPE_INT_TAB_BV, CameraWidths)
        FN_0(kFnCameraHeights, TYPE_INT_TAB_BV, CameraHeights)
        FN_0(kFnCameraFormats, TYPE_TSTR_TAB_BV, CameraFormats)
        FN_0(kFnProblems, TYPE_TSTR_TAB_BV, Problems)
        FN_0(kFnRefusal, TYPE_TSTR_BV, Refusal)
    END_FUNCTION_MAP

    int Analyse() override {
        return Guarded([] { return RUDRenderingScriptMgr::Instance().Analyse(); }, static_cast<int>(kSubmitFailed));
    }
    int Submit(FPParams* p) override {
        return Guarded([p] {
            if (!p || p->GetNumParams() < kSubmitArgumentCount) return static_cast<int>(kScriptBadArgument);
            auto& v = p->params;
            ScriptSubmitArguments arguments;
            if (Tab<const MCHAR*>* cameras = FP_FIELD(TYPE_STRING_TAB, v[0])) arguments.cameras = Texts(cameras);
            const MCHAR* mode = FP_FIELD(TYPE_NAME, v[1]);
            arguments.mode = mode ? mode : L"";
            arguments.channels = Texts(FP_FIELD(TYPE_STRING_TAB, v[2]));
            arguments.aoRadius = FP_FIELD(TYPE_FLOAT, v[3]);
            arguments.aoSubdivs = FP_FIELD(TYPE_INT, v[4]);
            arguments.gamma = FP_FIELD(TYPE_FLOAT, v[5]);
            arguments.coronaPasses = FP_FIELD(TYPE_INT, v[6]);
            arguments.coronaHours = FP_FIELD(TYPE_FLOAT, v[7]);
            arguments.coronaNoise = FP_FIELD(TYPE_FLOAT, v[8]);
            arguments.imageScale = FP_FIELD(TYPE_INT, v[9]);
            const MCHAR* sceneName = FP_FIELD(TYPE_STRING, v[10]);
            arguments.sceneName = sceneName ? sceneName : L"";
            arguments.backupAndCheck = FP_FIELD(TYPE_BOOL, v[11]) != FALSE;
            arguments.saveFirst = FP_FIELD(TYPE_BOOL, v[12]) != FALSE;
            arguments.wait = FP_FIELD(TYPE_BOOL, v[13]) != FALSE;
            arguments.replaceOtherFile = FP_FIELD(TYPE_BOOL, v[14]) != FALSE;
            arguments.acceptReferenceProblems = FP_FIELD(TYPE_BOOL, v[15]) != FALSE;
            return RUDRenderingScriptMgr::Instance().Submit(arguments);
        }, static_cast<int>(kSubmitFailed));
    }
    int Result() override {
        return Guarded([] { return RUDRenderingScriptMgr::Instance().Result(); }, static_cast<int>(kSubmitFailed));
    }
    MSTR LastMessage() override {
        return Guarded([] { return MSTR(RUDRenderingScriptMgr::Instance().LastMessage().c_str()); }, MSTR());
    }
    MSTR Renderer() override {
        return Guarded([] { return MSTR(RUDRenderingScriptMgr::Instance().Renderer().c_str()); }, MSTR());
    }
    Tab<MSTR*> Cameras() override {
        return Guarded([] { return TextTab([](const ScriptCamera& c) { return c.name; }); }, Tab<MSTR*>());
    }
    Tab<int> CameraWidths() override {
        return Guarded([] { return NumberTab([](const ScriptCamera& c) { return c.width; }); }, Tab<int>());
    }
    Tab<int> CameraHeights() override {
        return Guarded([] { return NumberTab([](const ScriptCamera& c) { return c.height; }); }, Tab<int>());
    }
    Tab<MSTR*> CameraFormats() override {
        return Guarded([] { return TextTab([](const ScriptCamera& c) { return c.format; }); }, Tab<MSTR*>());
    }
    Tab<MSTR*> Problems() override {
        return Guarded([] {
            Tab<MSTR*> tab;
            for (const std::wstring& line : RUDRenderingScriptMgr::Instance().Problems()) {
                MSTR* text = new MSTR(line.c_str());
                tab.Append(1, &text);
            }
            return tab;
        }, Tab<MSTR*>());
    }
    MSTR Refusal() override {
        return Guarded([] { return MSTR(RUDRenderingScriptMgr::Instance().Refusal().c_str()); }, MSTR());
    }
};

// The descriptor registers the interface with 3ds Max as the plug-in loads (FP_CORE): per
// function its ID, name, description, result type, flags and parameters; a keyword parameter
// carries its default.
RUDRenderingScript scriptInterface(
    Interface_ID(kScriptInterfaceIdA, kScriptInterfaceIdB), kScriptInterfaceName, 0, nullptr, FP_CORE,
    IRUDRenderingScript::kFnAnalyse, L"analyse", 0, TYPE_INT, 0, 0,
    IRUDRenderingScript::kFnSubmit, L"submit", 0, TYPE_INT, 0, kSubmitArgumentCount,
        L"cameras", 0, TYPE_STRING_TAB, f_keyArgDefault, nullptr,
        L"mode", 0, TYPE_NAME, f_keyArgDefault, L"none",
        L"channels", 0, TYPE_STRING_TAB, f_keyArgDefault, nullptr,
        L"aoRadius", 0, TYPE_FLOAT, f_keyArgDefault, 1000.0f,
        L"aoSubdivs", 0, TYPE_INT, f_keyArgDefault, 16,
        L"gamma", 0, TYPE_FLOAT, f_keyArgDefault, 0.0f,
        L"coronaPasses", 0, TYPE_INT, f_keyArgDefault, 0,
        L"coronaHours", 0, TYPE_FLOAT, f_keyArgDefault, 0.0f,
        L"coronaNoise", 0, TYPE_FLOAT, f_keyArgDefault, 0.0f,
        L"imageScale", 0, TYPE_INT, f_keyArgDefault, 100,
        L"sceneName", 0, TYPE_STRING, f_keyArgDefault, L"",
        L"backupAndCheck", 0, TYPE_BOOL, f_keyArgDefault, FALSE,
        L"saveFirst", 0, TYPE_BOOL, f_keyArgDefault, TRUE,
        L"wait", 0, TYPE_BOOL, f_keyArgDefault, TRUE,
        L"replaceOtherFile", 0, TYPE_BOOL, f_keyArgDefault, FALSE,
        L"acceptReferenceProblems", 0, TYPE_BOOL, f_keyArgDefault, FALSE,
    IRUDRenderingScript::kFnResult, L"result", 0, TYPE_INT, 0, 0,
    IRUDRenderingScript::kFnLastMessage, L"lastMessage", 0, TYPE_TSTR_BV, 0, 0,
    IRUDRenderingScript::kFnRenderer, L"renderer", 0, TYPE_TSTR_BV, 0, 0,
    IRUDRenderingScript::kFnCameras, L"cameras", 0, TYPE_TSTR_TAB_BV, 0, 0,
    IRUDRenderingScript::kFnCameraWidths, L"cameraWidths", 0, TYPE_INT_TAB_BV, 0, 0,
    IRUDRenderingScript::kFnCameraHeights, L"cameraHeights", 0, TYPE_INT_TAB_BV, 0, 0,
    IRUDRenderingScript::kFnCameraFormats, L"cameraFormats", 0, TYPE_TSTR_TAB_BV, 0, 0,
    IRUDRenderingScript::kFnProblems, L"problems", 0, TYPE_TSTR_TAB_BV, 0, 0,
    IRUDRenderingScript::kFnRefusal, L"refusal", 0, TYPE_TSTR_BV, 0, 0,
    p_end);

} // namespace
} // namespace rud
