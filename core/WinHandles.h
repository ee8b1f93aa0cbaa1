#pragma once
// Small RAII owners for Win32 handles, after wil's unique_handle idea: one owner per kind of
// handle, closed exactly once on every path.
#include <winsock2.h>
#include <windows.h>
#include <oleauto.h>
#include <unknwn.h>

#include <utility>

namespace rud {

template <typename T, typename Traits>
class UniqueResource {
public:
    UniqueResource() = default;
    explicit UniqueResource(T value) : value_(value) {}
    ~UniqueResource() { reset(); }
    UniqueResource(const UniqueResource&) = delete;
    UniqueResource& operator=(const UniqueResource&) = delete;
    UniqueResource(UniqueResource&& other) noexcept : value_(other.release()) {}
    UniqueResource& operator=(UniqueResource&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }

    T get() const { return value_; }
    explicit operator bool() const { return Traits::IsValid(value_); }
    T release() { return std::exchange(value_, Traits::Invalid()); }
    void reset(T value = Traits::Invalid()) {
        if (Traits::IsValid(value_)) Traits::Close(value_);
        value_ = value;
    }
    T* put() { reset(); return &value_; }

private:
    T value_ = Traits::Invalid();
};

struct HandleTraits {  // CreateFile and friends: INVALID_HANDLE_VALUE and null are both "none"
    static HANDLE Invalid() { return nullptr; }
    static bool IsValid(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void Close(HANDLE h) { ::CloseHandle(h); }
};
struct FindTraits {  // FindFirstFile's search
    static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
    static bool IsValid(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void Close(HANDLE h) { ::FindClose(h); }
};
struct MappedViewTraits {
    static const void* Invalid() { return nullptr; }
    static bool IsValid(const void* p) { return p != nullptr; }
    static void Close(const void* p) { ::UnmapViewOfFile(p); }
};
struct SocketTraits {
    static SOCKET Invalid() { return INVALID_SOCKET; }
    static bool IsValid(SOCKET s) { return s != INVALID_SOCKET; }
    static void Close(SOCKET s) { ::closesocket(s); }
};
struct WindowTraits {
    static HWND Invalid() { return nullptr; }
    static bool IsValid(HWND h) { return h != nullptr; }
    static void Close(HWND h) { ::DestroyWindow(h); }
};
struct ModuleTraits {
    static HMODULE Invalid() { return nullptr; }
    static bool IsValid(HMODULE h) { return h != nullptr; }
    static void Close(HMODULE h) { ::FreeLibrary(h); }
};
struct GdiObjectTraits {
    static HGDIOBJ Invalid() { return nullptr; }
    static bool IsValid(HGDIOBJ h) { return h != nullptr; }
    static void Close(HGDIOBJ h) { ::DeleteObject(h); }
};
template <typename Interface>
struct ComTraits {  // an interface pointer we hold one reference of
    static Interface* Invalid() { return nullptr; }
    static bool IsValid(Interface* p) { return p != nullptr; }
    static void Close(Interface* p) { p->Release(); }
};
struct GlobalMemoryTraits {  // GlobalAlloc's memory, until the clipboard takes it over
    static HGLOBAL Invalid() { return nullptr; }
    static bool IsValid(HGLOBAL h) { return h != nullptr; }
    static void Close(HGLOBAL h) { ::GlobalFree(h); }
};
struct BstrTraits {
    static BSTR Invalid() { return nullptr; }
    static bool IsValid(BSTR s) { return s != nullptr; }
    static void Close(BSTR s) { ::SysFreeString(s); }
};

using UniqueHandle = UniqueResource<HANDLE, HandleTraits>;
using UniqueFind = UniqueResource<HANDLE, FindTraits>;
using UniqueMappedView = UniqueResource<const void*, MappedViewTraits>;
using UniqueSocket = UniqueResource<SOCKET, SocketTraits>;
using UniqueHwnd = UniqueResource<HWND, WindowTraits>;
using UniqueModule = UniqueResource<HMODULE, ModuleTraits>;
using UniqueGdiObject = UniqueResource<HGDIOBJ, GdiObjectTraits>;
template <typename Interface>
using UniqueCom = UniqueResource<Interface*, ComTraits<Interface>>;
using UniqueBstr = UniqueResource<BSTR, BstrTraits>;
using UniqueGlobalMemory = UniqueResource<HGLOBAL, GlobalMemoryTraits>;

// A window's device context, released with ReleaseDC.
class WindowDC {
public:
    explicit WindowDC(HWND window) : window_(window), dc_(::GetDC(window)) {}
    ~WindowDC() { if (dc_) ::ReleaseDC(window_, dc_); }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    HDC get() const { return dc_; }
private:
    HWND window_;
    HDC dc_;
};

} // namespace rud
