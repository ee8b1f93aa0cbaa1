#pragma once
// Function publishing: values, parameters, interface descriptors and the function map through
// which MAXScript (or any client) calls a plug-in's published functions.
#include <windows.h>
#include <cstdarg>
#include "coreexp.h"
#include "maxheap.h"
#include "maxtypes.h"
#include "strclass.h"
#include "tab.h"

class ClassDesc;

// Parameter and result types. A table type holds a Tab<>* of its base type; "_BV" hands the
// value over (the receiver frees it).
#define TYPE_TAB 0x0800
#define TYPE_BY_VAL 0x2000
enum ParamType2 {
    TYPE_FLOAT = 0,
    TYPE_INT = 1,
    TYPE_BOOL = 4,
    TYPE_STRING = 8,
    TYPE_VOID = 26,
    TYPE_NAME = 37,
    TYPE_TSTR = 40,
    TYPE_INT_TAB = TYPE_INT + TYPE_TAB,
    TYPE_STRING_TAB = TYPE_STRING + TYPE_TAB,
    TYPE_TSTR_TAB = TYPE_TSTR + TYPE_TAB,
    TYPE_TSTR_BV = TYPE_TSTR + TYPE_BY_VAL,
    TYPE_INT_TAB_BV = TYPE_INT_TAB + TYPE_BY_VAL,
    TYPE_STRING_TAB_BV = TYPE_STRING_TAB + TYPE_BY_VAL,
    TYPE_TSTR_TAB_BV = TYPE_TSTR_TAB + TYPE_BY_VAL,
};

// A value of any published type. The destructor frees what the value holds; Free does not reset
// the value, so calling it yourself and then letting the destructor run frees twice unless Init
// follows.
class FPValue : public MaxHeapOperators {
public:
    FPValue() { Init(); }
    ~FPValue() { Free(); }
    void Init() {
        type = TYPE_INT;
        ptr = nullptr;
    }
    CoreExport void Free();
    ParamType2 type;
    union {
        int i;
        float f;
        const MCHAR* s;
        MSTR* tstr;
        Tab<int>* i_tab;
        Tab<const MCHAR*>* s_tab;
        Tab<MSTR*>* tstr_tab;
        void* ptr;
    };
};

typedef short FunctionID;
typedef int FPStatus;
typedef int StringResID;
#define FPS_FAIL 0
#define FPS_OK 1
#define FPS_NO_SUCH_FUNCTION (-1)

// Interface descriptor flags.
#define FP_ACTION 0x0001
#define FP_MIXIN 0x0002
#define FP_CORE 0x0004
// Function flags the descriptor sets itself.
#define FP_HAS_KEYARGS 0x0020
// Parameter flags.
#define FPP_KEYARG 0x0010

// Tags of the descriptor's argument list: a keyword parameter is followed by f_keyArgDefault and
// its default; p_end closes the list.
enum ParamTags { f_keyArgDefault = 0x7A01, p_end = 0x7A0F };

// The arguments of one call, positional parameters first, then keyword parameters in the order
// the descriptor lists them (each either supplied by the caller or its default).
class FPParams : public MaxHeapOperators {
public:
    int GetNumParams() { return params.Count(); }
    Tab<FPValue> params;
};

class FPParamDef : public MaxHeapOperators {
public:
    MSTR internal_name;
    StringResID description = 0;
    ParamType2 type = TYPE_INT;
    USHORT flags = 0;
    FPValue keyarg_default;
};

class FPFunctionDef : public MaxHeapOperators {
public:
    FunctionID ID = 0;
    MSTR internal_name;
    StringResID description = 0;
    USHORT flags = 0;
    ParamType2 result_type = TYPE_VOID;
    Tab<FPParamDef*> params;
    short keyparam_count = 0;
};

class FPInterfaceDesc;

class FPInterface : public MaxHeapOperators {
public:
    virtual ~FPInterface() {}
    virtual FPInterfaceDesc* GetDesc() = 0;
    // Calls a published function by its ID through the function map.
    virtual FPStatus Invoke(FunctionID fid, FPValue& result, FPParams* params = nullptr) {
        return _dispatch_fn(fid, 0, result, params);
    }
    virtual FPStatus _dispatch_fn(FunctionID fid, TimeValue t, FPValue& result, FPParams* p) {
        (void)fid; (void)t; (void)result; (void)p;
        return FPS_NO_SUCH_FUNCTION;
    }
};

// The interface's metadata: ID, internal name (MAXScript's global struct name for a core
// interface) and the published functions.
class CoreExport FPInterfaceDesc : public FPInterface {
public:
    FPInterfaceDesc() {}
    FPInterfaceDesc(Interface_ID id, const MCHAR* int_name, StringResID descr, ClassDesc* cd,
                    ULONG flag, ...);
    ~FPInterfaceDesc() override;
    FPInterfaceDesc* GetDesc() override { return this; }
    // Reads the descriptor's argument list; a descriptor flagged FP_CORE registers itself with the
    // host as a core interface.
    void load_descriptor(Interface_ID id, const MCHAR* int_name, StringResID descr, ClassDesc* cd,
                         USHORT flag, va_list ap);

    Interface_ID ID;
    MSTR internal_name;
    StringResID description = 0;
    ClassDesc* cd = nullptr;
    USHORT flags = 0;
    Tab<FPFunctionDef*> functions;

private:
    FPInterfaceDesc(const FPInterfaceDesc&) = delete;
    FPInterfaceDesc& operator=(const FPInterfaceDesc&) = delete;
};

// Base of static and core interfaces: the interface is its own descriptor.
class FPStaticInterface : public FPInterfaceDesc {};

// Core interfaces, by ID or by position.
CoreExport FPInterface* GetCOREInterface(Interface_ID id);
CoreExport int NumCOREInterfaces();
CoreExport FPInterface* GetCOREInterfaceAt(int i);

// How the function map loads a result.
template <int Type> struct FPResultOf;
template <> struct FPResultOf<TYPE_INT> {
    static void Load(FPValue& r, int value) { r.type = TYPE_INT; r.i = value; }
};
template <> struct FPResultOf<TYPE_BOOL> {
    static void Load(FPValue& r, BOOL value) { r.type = TYPE_BOOL; r.i = value; }
};
template <> struct FPResultOf<TYPE_TSTR_BV> {
    static void Load(FPValue& r, const MSTR& value) { r.type = TYPE_TSTR_BV; r.tstr = new MSTR(value); }
};
template <> struct FPResultOf<TYPE_INT_TAB_BV> {
    static void Load(FPValue& r, const Tab<int>& value) { r.type = TYPE_INT_TAB_BV; r.i_tab = new Tab<int>(value); }
};
template <> struct FPResultOf<TYPE_TSTR_TAB_BV> {
    static void Load(FPValue& r, const Tab<MSTR*>& value) { r.type = TYPE_TSTR_TAB_BV; r.tstr_tab = new Tab<MSTR*>(value); }
};

// The implementation class's constructor with the descriptor's argument list.
#define DECLARE_DESCRIPTOR(_interface)                                                              \
public:                                                                                              \
    _interface() {}                                                                                  \
    _interface(Interface_ID id, const MCHAR* name, StringResID descr, ClassDesc* cd, ULONG flags, ...) { \
        va_list ap;                                                                                  \
        va_start(ap, flags);                                                                         \
        load_descriptor(id, name, descr, cd, static_cast<USHORT>(flags), ap);                        \
        va_end(ap);                                                                                  \
    }

#define BEGIN_FUNCTION_MAP                                                                  \
public:                                                                                      \
    FPStatus _dispatch_fn(FunctionID fid, TimeValue t, FPValue& result, FPParams* p) {       \
        (void)t;                                                                             \
        FPStatus status = FPS_OK;                                                            \
        switch (fid) {
#define END_FUNCTION_MAP                                                                    \
        default: status = FPS_NO_SUCH_FUNCTION;                                              \
        }                                                                                    \
        return status;                                                                       \
    }

#define FN_0(_fid, _rtype, _f) \
    case _fid: FPResultOf<_rtype>::Load(result, _f()); break;
// A function that reads its arguments itself, from the call's parameters as the descriptor lists
// them. The SDK's fixed-arity macros (FN_1 to FN_13) are left out: the plug-in uses none.
#define FN_VA(_fid, _rtype, _f) \
    case _fid: FPResultOf<_rtype>::Load(result, _f(p)); break;

// One argument's value by its type, as FN_VA's functions read them.
#define TYPE_INT_FIELD(_v) ((_v).i)
#define TYPE_BOOL_FIELD(_v) ((_v).i)
#define TYPE_FLOAT_FIELD(_v) ((_v).f)
#define TYPE_STRING_FIELD(_v) ((_v).s)
#define TYPE_NAME_FIELD(_v) ((_v).s)
#define TYPE_STRING_TAB_FIELD(_v) ((_v).s_tab)
#define FP_FIELD(_type, _v) (_type##_FIELD(_v))
