#include "ScriptCall.h"

#include <max.h>
#include <ifnpub.h>

#include <cwchar>
#include <cwctype>
#include <memory>
#include <vector>

namespace maxhost {
namespace {

// A MAXScript literal.
struct Literal {
    enum Kind { kNumber, kString, kName, kBool, kArray } kind = kNumber;
    double number = 0;
    bool isInteger = false;
    std::wstring text;
    std::vector<Literal> items;
};

class Parser {
public:
    explicit Parser(const std::wstring& text) : text_(text) {}
    void Skip() { while (at_ < text_.size() && std::iswspace(text_[at_])) ++at_; }
    bool End() { Skip(); return at_ >= text_.size(); }
    bool Take(wchar_t c) { Skip(); if (at_ < text_.size() && text_[at_] == c) { ++at_; return true; } return false; }
    std::wstring Identifier() {
        Skip();
        size_t start = at_;
        while (at_ < text_.size() && (std::iswalnum(text_[at_]) || text_[at_] == L'_')) ++at_;
        return text_.substr(start, at_ - start);
    }
    // A keyword ("name:") when one comes next; the position stays otherwise.
    bool Keyword(std::wstring& name) {
        size_t saved = at_;
        name = Identifier();
        if (!name.empty() && at_ < text_.size() && text_[at_] == L':') { ++at_; return true; }
        at_ = saved;
        return false;
    }
    bool Value(Literal& value) {
        Skip();
        if (at_ >= text_.size()) return false;
        if (text_[at_] == L'"') {
            value.kind = Literal::kString;
            for (++at_; at_ < text_.size() && text_[at_] != L'"'; ++at_) {
                if (text_[at_] == L'\\' && at_ + 1 < text_.size()) ++at_;
                value.text += text_[at_];
            }
            return Take(L'"');
        }
        if (text_[at_] == L'#') {
            ++at_;
            if (Take(L'(')) {
                value.kind = Literal::kArray;
                if (Take(L')')) return true;
                do {
                    Literal item;
                    if (!Value(item)) return false;
                    value.items.push_back(item);
                } while (Take(L','));
                return Take(L')');
            }
            value.kind = Literal::kName;
            value.text = Identifier();
            return !value.text.empty();
        }
        const std::wstring word = Identifier();
        if (word == L"true" || word == L"false") {
            value.kind = Literal::kBool;
            value.number = word == L"true";
            return true;
        }
        at_ -= word.size();
        const wchar_t* start = text_.c_str() + at_;
        wchar_t* end = nullptr;
        value.number = std::wcstod(start, &end);
        if (end == start) return false;
        value.kind = Literal::kNumber;
        value.isInteger = std::wstring(start, static_cast<const wchar_t*>(end)).find_first_of(L".eE") == std::wstring::npos;
        at_ += static_cast<size_t>(end - start);
        return true;
    }

private:
    const std::wstring& text_;
    size_t at_ = 0;
};

std::wstring TypeName(ParamType2 type) {
    switch (type) {
    case TYPE_INT: return L"Integer";
    case TYPE_FLOAT: return L"Float";
    case TYPE_BOOL: return L"BooleanClass";
    case TYPE_NAME: return L"Name";
    case TYPE_STRING_TAB: return L"Array of String";
    default: return L"String";
    }
}

// Texts and tables handed to the function stay here until the call is over.
struct CallStorage {
    std::vector<std::unique_ptr<std::wstring>> texts;
    std::vector<std::unique_ptr<Tab<const MCHAR*>>> tabs;
    const MCHAR* Keep(const std::wstring& text) {
        texts.push_back(std::make_unique<std::wstring>(text));
        return texts.back()->c_str();
    }
};

bool Convert(const Literal& literal, ParamType2 type, FPValue& value, CallStorage& storage) {
    value.type = type;
    switch (type) {
    case TYPE_INT:
        if (literal.kind != Literal::kNumber) return false;
        value.i = static_cast<int>(literal.number);
        return true;
    case TYPE_FLOAT:
        if (literal.kind != Literal::kNumber) return false;
        value.f = static_cast<float>(literal.number);
        return true;
    case TYPE_BOOL:
        if (literal.kind != Literal::kBool) return false;
        value.i = literal.number != 0;
        return true;
    case TYPE_STRING:
    case TYPE_NAME:
        if (literal.kind != Literal::kString && literal.kind != Literal::kName) return false;
        value.s = storage.Keep(literal.text);
        return true;
    case TYPE_STRING_TAB: {
        if (literal.kind != Literal::kArray) return false;
        storage.tabs.push_back(std::make_unique<Tab<const MCHAR*>>());
        for (const Literal& item : literal.items) {
            if (item.kind != Literal::kString && item.kind != Literal::kName) return false;
            const MCHAR* text = storage.Keep(item.text);
            storage.tabs.back()->Append(1, &text);
        }
        value.s_tab = storage.tabs.back().get();
        return true;
    }
    default:
        return false;
    }
}

std::wstring Quoted(const MSTR* text) { return L"\"" + std::wstring(text ? text->data() : L"") + L"\""; }

std::wstring Printed(const FPValue& value) {
    switch (value.type) {
    case TYPE_INT: return std::to_wstring(value.i);
    case TYPE_BOOL: return value.i ? L"true" : L"false";
    case TYPE_TSTR_BV: return Quoted(value.tstr);
    case TYPE_INT_TAB_BV:
    case TYPE_TSTR_TAB_BV: {
        std::wstring text = L"#(";
        const int count = value.type == TYPE_INT_TAB_BV ? value.i_tab->Count() : value.tstr_tab->Count();
        for (int i = 0; i < count; ++i) {
            if (i) text += L", ";
            text += value.type == TYPE_INT_TAB_BV ? std::to_wstring((*value.i_tab)[i]) : Quoted((*value.tstr_tab)[i]);
        }
        return text + L")";
    }
    case TYPE_VOID: return L"OK";
    default: return L"undefined";
    }
}

FPInterface* FindInterface(const std::wstring& name) {
    for (int i = 0; i < NumCOREInterfaces(); ++i) {
        FPInterface* found = GetCOREInterfaceAt(i);
        if (found && ::_wcsicmp(found->GetDesc()->internal_name.data(), name.c_str()) == 0) return found;
    }
    return nullptr;
}

ScriptCallResult Error(const std::wstring& text) { return {false, L"-- " + text}; }

} // namespace

ScriptCallResult CallPublishedFunction(const std::wstring& expression) {
    Parser parser(expression);
    const std::wstring interfaceName = parser.Identifier();
    if (!parser.Take(L'.')) return Error(L"Syntax error: Interface.function expected");
    const std::wstring functionName = parser.Identifier();
    FPInterface* target = FindInterface(interfaceName);
    if (!target) return Error(L"Unknown property: \"" + functionName + L"\" in undefined");
    FPInterfaceDesc* desc = target->GetDesc();
    FPFunctionDef* function = nullptr;
    for (int i = 0; i < desc->functions.Count() && !function; ++i)
        if (::_wcsicmp(desc->functions[i]->internal_name.data(), functionName.c_str()) == 0) function = desc->functions[i];
    if (!function) return Error(L"Unknown property: \"" + functionName + L"\" in <Interface:" + interfaceName + L">");

    std::vector<Literal> positional;
    std::vector<std::pair<std::wstring, Literal>> keywords;
    // f() calls a function without arguments.
    if (parser.Take(L'(') && !parser.Take(L')')) return Error(L"Syntax error: ) expected");
    while (!parser.End()) {
        std::wstring keyword;
        const bool isKeyword = parser.Keyword(keyword);
        Literal value;
        if (!parser.Value(value)) return Error(L"Syntax error: cannot read the arguments");
        if (isKeyword) keywords.emplace_back(keyword, value);
        else positional.push_back(value);
    }

    const int count = function->params.Count();
    if (static_cast<int>(positional.size()) != count - function->keyparam_count)
        return Error(L"Argument count error: " + functionName + L" wanted " +
                     std::to_wstring(count - function->keyparam_count) + L", got " + std::to_wstring(positional.size()));
    CallStorage storage;
    FPParams params;
    params.params.SetCount(count);
    size_t nextPositional = 0;
    bool converted = true;
    std::wstring failure;
    for (int i = 0; i < count && converted; ++i) {
        FPParamDef& param = *function->params[i];
        const Literal* given = nullptr;
        if (param.flags & FPP_KEYARG) {
            // Keywords MAXScript does not know for the function are passed over, as it does.
            for (const auto& keyword : keywords)
                if (::_wcsicmp(keyword.first.c_str(), param.internal_name.data()) == 0) given = &keyword.second;
            if (!given) {
                params.params[i].type = param.type;
                params.params[i].ptr = param.keyarg_default.ptr;   // the whole union
                continue;
            }
        } else {
            given = &positional[nextPositional++];
        }
        converted = Convert(*given, param.type, params.params[i], storage);
        if (!converted) failure = L"Unable to convert the value for " + std::wstring(param.internal_name.data()) +
                                  L" to type: " + TypeName(param.type);
    }
    ScriptCallResult answer;
    if (converted) {
        FPValue result;
        result.type = function->result_type;
        const FPStatus status = target->Invoke(function->ID, result, &params);
        answer = status == FPS_OK ? ScriptCallResult{true, Printed(result)} : Error(L"The call failed");
    } else {
        answer = Error(failure);
    }
    // What was handed in belongs to this caller.
    for (int i = 0; i < count; ++i) params.params[i].Init();
    return answer;
}

} // namespace maxhost
