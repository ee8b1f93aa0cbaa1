#pragma once
// The plug-in's MAXScript interface: a core interface published through function publishing,
// which scripts reach as the global struct RUDRendering (analyse, submit, result, lastMessage...).
#include <max.h>
#include <ifnpub.h>

namespace rud {

// The published functions, as MAXScript lists them.
class IRUDRenderingScript : public FPStaticInterface {
public:
    enum FunctionIds : FunctionID {
        kFnAnalyse, kFnSubmit, kFnResult, kFnLastMessage, kFnRenderer, kFnCameras, kFnCameraWidths,
        kFnCameraHeights, kFnCameraFormats, kFnProblems, kFnRefusal,
    };
    virtual int Analyse() = 0;
    // The sixteen keyword arguments in the order the descriptor lists them (each given or its
    // default): the function map's fixed-arity macros stop at thirteen, so submit takes them whole.
    virtual int Submit(FPParams* arguments) = 0;
    virtual int Result() = 0;
    virtual MSTR LastMessage() = 0;
    virtual MSTR Renderer() = 0;
    virtual Tab<MSTR*> Cameras() = 0;
    virtual Tab<int> CameraWidths() = 0;
    virtual Tab<int> CameraHeights() = 0;
    virtual Tab<MSTR*> CameraFormats() = 0;
    virtual Tab<MSTR*> Problems() = 0;
    virtual MSTR Refusal() = 0;
};

} // namespace rud
