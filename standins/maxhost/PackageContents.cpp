#include "PackageContents.h"

#include "core/WinHandles.h"

#include <windows.h>
#include <msxml2.h>
#include <oleauto.h>

namespace maxhost {
namespace {

using rud::UniqueBstr;
using rud::UniqueCom;

std::wstring NodeName(IXMLDOMNode* node) {
    UniqueBstr name;
    if (FAILED(node->get_nodeName(name.put())) || !name) return {};
    return std::wstring(name.get(), ::SysStringLen(name.get()));
}

std::wstring Attribute(IXMLDOMElement* element, const wchar_t* name) {
    UniqueBstr key(::SysAllocString(name));
    VARIANT value;
    ::VariantInit(&value);
    std::wstring text;
    if (key && element->getAttribute(key.get(), &value) == S_OK && value.vt == VT_BSTR && value.bstrVal)
        text.assign(value.bstrVal, ::SysStringLen(value.bstrVal));
    ::VariantClear(&value);
    return text;
}

// Calls `visit(name, element)` for every child element of `parent`, in document order.
template <typename Visit>
void ForEachChildElement(IXMLDOMNode* parent, Visit visit) {
    UniqueCom<IXMLDOMNodeList> children;
    if (FAILED(parent->get_childNodes(children.put())) || !children) return;
    long count = 0;
    if (FAILED(children.get()->get_length(&count))) return;
    for (long i = 0; i < count; ++i) {
        UniqueCom<IXMLDOMNode> child;
        if (children.get()->get_item(i, child.put()) != S_OK || !child) continue;
        DOMNodeType type = NODE_INVALID;
        if (FAILED(child.get()->get_nodeType(&type)) || type != NODE_ELEMENT) continue;
        UniqueCom<IXMLDOMElement> element;
        if (FAILED(child.get()->QueryInterface(IID_IXMLDOMElement, reinterpret_cast<void**>(element.put()))))
            continue;
        visit(NodeName(child.get()), element.get());
    }
}

RuntimeRequirements ReadRequirements(IXMLDOMElement* element) {
    RuntimeRequirements requirements;
    requirements.present = true;
    requirements.os = Attribute(element, L"OS");
    requirements.platform = Attribute(element, L"Platform");
    requirements.seriesMin = Attribute(element, L"SeriesMin");
    requirements.seriesMax = Attribute(element, L"SeriesMax");
    return requirements;
}

PackageComponents ReadComponents(IXMLDOMElement* group) {
    PackageComponents components;
    components.description = Attribute(group, L"Description");
    ForEachChildElement(group, [&](const std::wstring& name, IXMLDOMElement* child) {
        if (name == L"RuntimeRequirements") components.requirements = ReadRequirements(child);
        else if (name == L"ComponentEntry") components.moduleNames.push_back(Attribute(child, L"ModuleName"));
    });
    return components;
}

std::wstring ParseErrorText(IXMLDOMDocument* document) {
    UniqueCom<IXMLDOMParseError> parseError;
    std::wstring text = L"not well-formed XML";
    if (FAILED(document->get_parseError(parseError.put())) || !parseError) return text;
    long line = 0;
    UniqueBstr reason;
    if (SUCCEEDED(parseError.get()->get_line(&line)) && line > 0) text += L" (line " + std::to_wstring(line) + L")";
    if (SUCCEEDED(parseError.get()->get_reason(reason.put())) && reason) {
        std::wstring why(reason.get(), ::SysStringLen(reason.get()));
        while (!why.empty() && (why.back() == L'\r' || why.back() == L'\n' || why.back() == L' ')) why.pop_back();
        if (!why.empty()) text += L": " + why;
    }
    return text;
}

} // namespace

bool ReadPackageContents(const std::wstring& bundleFolder, ApplicationPackage& package, std::wstring& error) {
    package = ApplicationPackage{};
    package.bundleFolder = bundleFolder;
    const std::wstring path = bundleFolder + L"\\PackageContents.xml";
    if (::GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
        error = L"no PackageContents.xml";
        return false;
    }

    // MSXML 6, the parser Windows itself ships; resolving the ProgID keeps us free of a CLSID
    // table that differs between SDKs.
    CLSID parserClass{};
    UniqueCom<IXMLDOMDocument> document;
    if (FAILED(::CLSIDFromProgID(L"Msxml2.DOMDocument.6.0", &parserClass)) ||
        FAILED(::CoCreateInstance(parserClass, nullptr, CLSCTX_INPROC_SERVER, IID_IXMLDOMDocument,
                                  reinterpret_cast<void**>(document.put())))) {
        error = L"no XML parser (MSXML 6)";
        return false;
    }
    (void)document.get()->put_async(VARIANT_FALSE);
    (void)document.get()->put_resolveExternals(VARIANT_FALSE);
    (void)document.get()->put_validateOnParse(VARIANT_FALSE);

    UniqueBstr file(::SysAllocString(path.c_str()));
    VARIANT source;
    ::VariantInit(&source);
    source.vt = VT_BSTR;
    source.bstrVal = file.get();  // borrowed: `file` frees it
    VARIANT_BOOL loaded = VARIANT_FALSE;
    if (!file || document.get()->load(source, &loaded) != S_OK || loaded != VARIANT_TRUE) {
        error = ParseErrorText(document.get());
        return false;
    }

    UniqueCom<IXMLDOMElement> root;
    if (document.get()->get_documentElement(root.put()) != S_OK || !root) {
        error = L"no root element";
        return false;
    }
    if (NodeName(root.get()) != L"ApplicationPackage") {
        error = L"the root element is not ApplicationPackage";
        return false;
    }
    package.autodeskProduct = Attribute(root.get(), L"AutodeskProduct");
    package.name = Attribute(root.get(), L"Name");
    package.appVersion = Attribute(root.get(), L"AppVersion");
    package.upgradeCode = Attribute(root.get(), L"UpgradeCode");
    ForEachChildElement(root.get(), [&](const std::wstring& name, IXMLDOMElement* child) {
        if (name == L"RuntimeRequirements") package.requirements = ReadRequirements(child);
        else if (name == L"Components") package.components.push_back(ReadComponents(child));
    });
    return true;
}

} // namespace maxhost
