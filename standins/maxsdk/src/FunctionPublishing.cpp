// The host's side of function publishing: reading descriptors, and the registry of core
// interfaces that MAXScript finds by ID or by name.
#include "../include/ifnpub.h"

#include <algorithm>
#include <mutex>
#include <vector>

namespace {

std::mutex coreLock;
std::vector<FPInterface*>& CoreInterfaces() {
    static std::vector<FPInterface*>* interfaces = new std::vector<FPInterface*>;
    return *interfaces;
}

// Reads a keyword parameter's default, whose C type follows the parameter's type (a float is
// promoted to double in an argument list).
void ReadDefault(FPParamDef& param, va_list& ap) {
    FPValue& value = param.keyarg_default;
    value.type = param.type;
    switch (param.type) {
    case TYPE_FLOAT: value.f = static_cast<float>(va_arg(ap, double)); break;
    case TYPE_INT:
    case TYPE_BOOL: value.i = va_arg(ap, int); break;
    case TYPE_STRING:
    case TYPE_NAME: value.s = va_arg(ap, const MCHAR*); break;
    default: value.ptr = va_arg(ap, void*); break;
    }
}

// True when the next entry of the list is the tag `tag`, which is then taken. Parameter names
// are pointers to wide text (even addresses) and tags are odd, so a name never reads as one.
bool TakeTag(va_list& ap, int tag) {
    va_list peek;
    va_copy(peek, ap);
    const int next = va_arg(peek, int);
    va_end(peek);
    if (next != tag) return false;
    (void)va_arg(ap, int);
    return true;
}

} // namespace

FPInterfaceDesc::FPInterfaceDesc(Interface_ID id, const MCHAR* int_name, StringResID descr, ClassDesc* cd,
                                 ULONG flag, ...) {
    va_list ap;
    va_start(ap, flag);
    load_descriptor(id, int_name, descr, cd, static_cast<USHORT>(flag), ap);
    va_end(ap);
}

FPInterfaceDesc::~FPInterfaceDesc() {
    {
        std::lock_guard<std::mutex> guard(coreLock);
        auto& all = CoreInterfaces();
        all.erase(std::remove(all.begin(), all.end(), static_cast<FPInterface*>(this)), all.end());
    }
    for (int f = 0; f < functions.Count(); ++f) {
        for (int p = 0; p < functions[f]->params.Count(); ++p) {
            functions[f]->params[p]->keyarg_default.Init();   // defaults point into the plug-in
            delete functions[f]->params[p];
        }
        delete functions[f];
    }
}

void FPInterfaceDesc::load_descriptor(Interface_ID id, const MCHAR* int_name, StringResID descr, ClassDesc* desc,
                                      USHORT flag, va_list ap) {
    ID = id;
    internal_name = int_name;
    description = descr;
    cd = desc;
    flags = flag;
    va_list list;
    va_copy(list, ap);
    for (;;) {
        const int fid = va_arg(list, int);
        if (fid == p_end) break;
        auto* function = new FPFunctionDef;
        function->ID = static_cast<FunctionID>(fid);
        function->internal_name = va_arg(list, const MCHAR*);
        function->description = va_arg(list, int);
        function->result_type = static_cast<ParamType2>(va_arg(list, int));
        function->flags = static_cast<USHORT>(va_arg(list, int));
        const int count = va_arg(list, int);
        for (int i = 0; i < count; ++i) {
            auto* param = new FPParamDef;
            param->internal_name = va_arg(list, const MCHAR*);
            param->description = va_arg(list, int);
            param->type = static_cast<ParamType2>(va_arg(list, int));
            if (TakeTag(list, f_keyArgDefault)) {
                param->flags |= FPP_KEYARG;
                ReadDefault(*param, list);
                ++function->keyparam_count;
                function->flags |= FP_HAS_KEYARGS;
            }
            function->params.Append(1, &param);
        }
        functions.Append(1, &function);
    }
    va_end(list);
    if (flags & FP_CORE) {
        std::lock_guard<std::mutex> guard(coreLock);
        FPInterface* self = this;
        CoreInterfaces().push_back(self);
    }
}

FPInterface* GetCOREInterface(Interface_ID id) {
    std::lock_guard<std::mutex> guard(coreLock);
    for (FPInterface* found : CoreInterfaces())
        if (found->GetDesc()->ID == id) return found;
    return nullptr;
}

int NumCOREInterfaces() {
    std::lock_guard<std::mutex> guard(coreLock);
    return static_cast<int>(CoreInterfaces().size());
}

FPInterface* GetCOREInterfaceAt(int i) {
    std::lock_guard<std::mutex> guard(coreLock);
    const auto& all = CoreInterfaces();
    return i >= 0 && static_cast<size_t>(i) < all.size() ? all[static_cast<size_t>(i)] : nullptr;
}
