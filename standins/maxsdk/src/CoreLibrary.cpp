// The stand-in host's core library: heap, core interface, notifications, MAXScript hook,
// language pack, and the small window helpers.
#include "../include/maxheap.h"
#include "../include/maxapi.h"
#include "../include/notify.h"
#include "../include/ifnpub.h"
#include "../include/maxscript/maxscript.h"
#include "../include/systemutilities.h"
#include "../include/winutil.h"
#include "../host/MaxStandin.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <new>
#include <vector>

void RegisterSpinnerWindowClass(HINSTANCE instance);

namespace {

std::atomic<Interface*> coreInterface{nullptr};
std::atomic<HINSTANCE> languagePackModule{nullptr};

struct Registration {
    NOTIFYPROC proc;
    void* param;
    int code;
};
std::recursive_mutex notificationLock;
std::vector<Registration>& Registrations() {
    static std::vector<Registration> registrations;
    return registrations;
}

std::mutex scriptLock;
maxstandin::ScriptHandler scriptHandler = nullptr;
void* scriptContext = nullptr;

void* Allocate(std::size_t size) {
    void* p = std::malloc(size ? size : 1);
    if (!p) throw std::bad_alloc();
    return p;
}

} // namespace

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) RegisterSpinnerWindowClass(instance);
    return TRUE;
}

void* MaxHeapOperators::operator new(std::size_t size) { return Allocate(size); }
void* MaxHeapOperators::operator new[](std::size_t size) { return Allocate(size); }
void MaxHeapOperators::operator delete(void* p) { std::free(p); }
void MaxHeapOperators::operator delete[](void* p) { std::free(p); }

Interface* GetCOREInterface() { return coreInterface.load(); }

int RegisterNotification(NOTIFYPROC proc, void* param, int code) {
    if (!proc) return FALSE;
    std::lock_guard<std::recursive_mutex> guard(notificationLock);
    for (const Registration& r : Registrations())
        if (r.proc == proc && r.param == param && r.code == code) return TRUE;
    Registrations().push_back({proc, param, code});
    return TRUE;
}

int UnRegisterNotification(NOTIFYPROC proc, void* param, int code) {
    std::lock_guard<std::recursive_mutex> guard(notificationLock);
    auto& all = Registrations();
    for (auto it = all.begin(); it != all.end(); ++it) {
        if (it->proc == proc && it->param == param && it->code == code) {
            all.erase(it);
            return TRUE;
        }
    }
    return FALSE;
}

void BroadcastNotification(int code, void* callParam) {
    std::vector<Registration> handlers;
    {
        std::lock_guard<std::recursive_mutex> guard(notificationLock);
        handlers = Registrations();
    }
    for (const Registration& r : handlers) {
        if (r.code != code) continue;
        NotifyInfo info{code, callParam};
        r.proc(r.param, &info);
    }
}

void FPValue::Free() {
    type = TYPE_VOID;
    i = 0;
    s = nullptr;
}

BOOL ExecuteMAXScriptScript(const wchar_t* s, MAXScript::ScriptSource, BOOL, FPValue* fpv, BOOL) {
    maxstandin::ScriptHandler handler;
    void* context;
    {
        std::lock_guard<std::mutex> guard(scriptLock);
        handler = scriptHandler;
        context = scriptContext;
    }
    BOOL ok = (handler && s) ? handler(s, context) : FALSE;
    if (fpv) {
        fpv->type = TYPE_BOOL;
        fpv->i = ok;
    }
    return ok;
}

namespace MaxSDK {
namespace Util {
void UseLanguagePackLocale(HINSTANCE module) { languagePackModule.store(module); }
} // namespace Util
} // namespace MaxSDK

void SetCheckBox(HWND hw, int id, BOOL b) { ::CheckDlgButton(hw, id, b ? BST_CHECKED : BST_UNCHECKED); }

BOOL SetWindowTextInt(HWND hWnd, int val) {
    wchar_t text[32];
    std::swprintf(text, 32, L"%d", val);
    return ::SetWindowTextW(hWnd, text);
}

BOOL SetWindowTextFloat(HWND hWnd, float val, int precision) {
    wchar_t text[64];
    std::swprintf(text, 64, L"%.*f", precision, static_cast<double>(val));
    return ::SetWindowTextW(hWnd, text);
}

namespace maxstandin {

void SetCoreInterface(Interface* core) { coreInterface.store(core); }
HINSTANCE LanguagePackLocaleModule() { return languagePackModule.load(); }

int NotificationHandlerCount(int code) {
    std::lock_guard<std::recursive_mutex> guard(notificationLock);
    int count = 0;
    for (const Registration& r : Registrations())
        if (r.code == code) ++count;
    return count;
}

void SetScriptHandler(ScriptHandler handler, void* context) {
    std::lock_guard<std::mutex> guard(scriptLock);
    scriptHandler = handler;
    scriptContext = context;
}

} // namespace maxstandin
