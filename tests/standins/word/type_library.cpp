#include "word/type_library.h"

#include <oleauto.h>

#include <optional>
#include <string>
#include <vector>

#include "word/word_interfaces.h"

namespace standin::word {
namespace {

// {DDC69F06-9182-430D-97CE-0E3321EB7820}
constexpr GUID kLibraryId = {0xDDC69F06, 0x9182, 0x430D, {0x97, 0xCE, 0x0E, 0x33, 0x21, 0xEB, 0x78, 0x20}};
// OLE Automation's own library, which declares IDispatch.
constexpr GUID kStdOleId = {0x00020430, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

// --- The interfaces, as Word's object model publishes them; members in vtable order. ---

enum class Type { Bool, Long, Int, Text, Variant, VariantRef, Object };

struct Param {
    const wchar_t* name;
    Type type;
    USHORT flags = PARAMFLAG_FIN;
};

struct Function {
    const wchar_t* name;
    MEMBERID id;
    INVOKEKIND kind;
    std::vector<Param> params;
    // The [out, retval] parameter, if any; an object result names its interface.
    std::optional<Type> result = std::nullopt;
    const wchar_t* resultInterface = nullptr;
};

struct Interface {
    const wchar_t* name;
    IID iid;
    std::vector<Function> functions;
};

constexpr USHORT kOptional = PARAMFLAG_FIN | PARAMFLAG_FOPT;

const std::vector<Interface>& Interfaces() {
    static const std::vector<Interface> interfaces = {
        {L"_Application",
         kApplicationIid,
         {
             {L"Visible", 1, INVOKE_PROPERTYGET, {}, Type::Bool},
             {L"Visible", 1, INVOKE_PROPERTYPUT, {{L"prop", Type::Bool}}},
             {L"COMAddIns", 2, INVOKE_PROPERTYGET, {}, Type::Object, L"COMAddIns"},
             {L"CommandBars", 3, INVOKE_PROPERTYGET, {}, Type::Object, L"CommandBars"},
             {L"NormalTemplate", 4, INVOKE_PROPERTYGET, {}, Type::Object, L"Template"},
             {L"Quit",
              5,
              INVOKE_FUNC,
              {{L"SaveChanges", Type::VariantRef, kOptional},
               {L"OriginalFormat", Type::VariantRef, kOptional},
               {L"RouteDocument", Type::VariantRef, kOptional}}},
             // A WdAlertLevel: 0 none, -1 all, -2 message boxes only.
             {L"DisplayAlerts", 6, INVOKE_PROPERTYGET, {}, Type::Long},
             {L"DisplayAlerts", 6, INVOKE_PROPERTYPUT, {{L"prop", Type::Long}}},
         }},
        {L"COMAddIns",
         kAddInsIid,
         {
             {L"Item", DISPID_VALUE, INVOKE_FUNC, {{L"Index", Type::VariantRef}}, Type::Object, L"COMAddIn"},
             {L"Count", 1, INVOKE_PROPERTYGET, {}, Type::Long},
         }},
        {L"COMAddIn",
         kAddInIid,
         {
             {L"ProgId", 1, INVOKE_PROPERTYGET, {}, Type::Text},
             {L"Connect", 2, INVOKE_PROPERTYGET, {}, Type::Bool},
             {L"Connect", 2, INVOKE_PROPERTYPUT, {{L"RetValue", Type::Bool}}},
         }},
        {L"CommandBars",
         kBarsIid,
         {
             {L"Item",
              DISPID_VALUE,
              INVOKE_PROPERTYGET,
              {{L"Index", Type::Variant}},
              Type::Object,
              L"CommandBar"},
         }},
        {L"CommandBar",
         kBarIid,
         {
             {L"Controls", 1, INVOKE_PROPERTYGET, {}, Type::Object, L"CommandBarControls"},
             {L"Delete", 2, INVOKE_FUNC, {}},
         }},
        {L"CommandBarControls",
         kControlsIid,
         {
             {L"Count", 1, INVOKE_PROPERTYGET, {}, Type::Int},
             {L"Item",
              DISPID_VALUE,
              INVOKE_PROPERTYGET,
              {{L"Index", Type::Variant}},
              Type::Object,
              L"CommandBarControl"},
         }},
        {L"CommandBarControl",
         kControlIid,
         {
             {L"Delete", 1, INVOKE_FUNC, {{L"Temporary", Type::Variant, kOptional}}},
         }},
        {L"Template",
         kTemplateIid,
         {
             {L"Save", 1, INVOKE_FUNC, {}},
         }},
    };
    return interfaces;
}

// --- Building ---

// Releases a COM pointer on scope exit.
template <typename T>
class Ref {
public:
    Ref() = default;
    Ref(const Ref&) = delete;
    Ref& operator=(const Ref&) = delete;
    Ref(Ref&& other) noexcept : p_(other.p_) { other.p_ = nullptr; }
    ~Ref() {
        if (p_) p_->Release();
    }
    T* operator->() const { return p_; }
    T* get() const { return p_; }
    T** put() { return &p_; }

private:
    T* p_ = nullptr;
};

// Type descriptions for one function; the pointers inside stay valid while it lives.
class Signature {
public:
    Signature(const Function& function, const std::vector<HREFTYPE>& objectRefs,
              const std::vector<Interface>& all)
        : descs_(function.params.size() + 1) {
        for (std::size_t i = 0; i < function.params.size(); ++i)
            Add(function.params[i].type, nullptr, function.params[i].flags, objectRefs, all);
        if (function.result)
            Add(*function.result, function.resultInterface, PARAMFLAG_FOUT | PARAMFLAG_FRETVAL, objectRefs,
                all);
    }
    std::vector<ELEMDESC>& Elements() { return elements_; }

private:
    // Three levels at most: pointer to pointer to interface.
    struct Desc {
        TYPEDESC outer{};
        TYPEDESC middle{};
        TYPEDESC inner{};
    };

    void Add(Type type, const wchar_t* objectInterface, USHORT flags, const std::vector<HREFTYPE>& objectRefs,
             const std::vector<Interface>& all) {
        Desc& d = descs_[elements_.size()];
        const bool out = (flags & PARAMFLAG_FOUT) != 0;
        TYPEDESC* value = out ? &d.middle : &d.outer;
        if (out) {
            d.outer.vt = VT_PTR;
            d.outer.lptdesc = &d.middle;
        }
        switch (type) {
            case Type::Bool:
                value->vt = VT_BOOL;
                break;
            case Type::Long:
                value->vt = VT_I4;
                break;
            case Type::Int:
                value->vt = VT_INT;
                break;
            case Type::Text:
                value->vt = VT_BSTR;
                break;
            case Type::Variant:
                value->vt = VT_VARIANT;
                break;
            case Type::VariantRef:
                value->vt = VT_PTR;
                value->lptdesc = &d.inner;
                d.inner.vt = VT_VARIANT;
                break;
            case Type::Object:
                value->vt = VT_PTR;
                value->lptdesc = &d.inner;
                d.inner.vt = VT_USERDEFINED;
                for (std::size_t i = 0; i < all.size(); ++i) {
                    if (std::wstring(all[i].name) == objectInterface) d.inner.hreftype = objectRefs[i];
                }
                break;
        }
        ELEMDESC element{};
        element.tdesc = d.outer;
        element.paramdesc.wParamFlags = flags;
        elements_.push_back(element);
    }

    std::vector<Desc> descs_;
    std::vector<ELEMDESC> elements_;
};

HRESULT AddFunctions(ICreateTypeInfo* info, const Interface& declaration,
                     const std::vector<HREFTYPE>& objectRefs, SYSKIND platform) {
    const std::size_t pointerSize = platform == SYS_WIN64 ? 8 : 4;
    for (std::size_t i = 0; i < declaration.functions.size(); ++i) {
        const Function& function = declaration.functions[i];
        Signature signature(function, objectRefs, Interfaces());
        FUNCDESC desc{};
        desc.memid = function.id;
        desc.funckind = FUNC_PUREVIRTUAL;
        desc.invkind = function.kind;
        desc.callconv = CC_STDCALL;
        desc.cParams = static_cast<SHORT>(signature.Elements().size());
        desc.lprgelemdescParam = signature.Elements().empty() ? nullptr : signature.Elements().data();
        desc.oVft = static_cast<SHORT>((7 + i) * pointerSize);  // after IUnknown's and IDispatch's seven
        desc.elemdescFunc.tdesc.vt = VT_HRESULT;
        HRESULT hr = info->AddFuncDesc(static_cast<UINT>(i), &desc);
        if (FAILED(hr)) return hr;
        std::vector<LPOLESTR> names{const_cast<LPOLESTR>(function.name)};
        for (const Param& param : function.params) names.push_back(const_cast<LPOLESTR>(param.name));
        if (function.result) names.push_back(const_cast<LPOLESTR>(L"RetValue"));
        // A property write names its parameters without the value.
        if (function.kind == INVOKE_PROPERTYPUT) names.pop_back();
        hr = info->SetFuncAndParamNames(static_cast<UINT>(i), names.data(), static_cast<UINT>(names.size()));
        if (FAILED(hr)) return hr;
    }
    return S_OK;
}

HRESULT Build(const std::wstring& path, SYSKIND platform) {
    Ref<ICreateTypeLib2> library;
    HRESULT hr = ::CreateTypeLib2(platform, path.c_str(), library.put());
    if (FAILED(hr)) return hr;
    library->SetGuid(kLibraryId);
    library->SetName(const_cast<LPOLESTR>(L"WordStandin"));
    library->SetVersion(1, 0);
    library->SetLcid(LOCALE_NEUTRAL);

    Ref<ITypeLib> stdole;
    hr = ::LoadRegTypeLib(kStdOleId, 2, 0, LOCALE_NEUTRAL, stdole.put());
    if (FAILED(hr)) return hr;
    Ref<ITypeInfo> dispatch;
    hr = stdole->GetTypeInfoOfGuid(IID_IDispatch, dispatch.put());
    if (FAILED(hr)) return hr;

    // Every interface first, so that members can name the interfaces of the objects they return.
    const auto& declared = Interfaces();
    std::vector<Ref<ICreateTypeInfo>> infos;
    for (const Interface& declaration : declared) {
        Ref<ICreateTypeInfo> info;
        hr = library->CreateTypeInfo(const_cast<LPOLESTR>(declaration.name), TKIND_INTERFACE, info.put());
        if (FAILED(hr)) return hr;
        info->SetGuid(declaration.iid);
        hr = info->SetTypeFlags(TYPEFLAG_FDUAL | TYPEFLAG_FOLEAUTOMATION | TYPEFLAG_FDISPATCHABLE);
        HREFTYPE base = 0;
        if (SUCCEEDED(hr)) hr = info->AddRefTypeInfo(dispatch.get(), &base);
        if (SUCCEEDED(hr)) hr = info->AddImplType(0, base);
        if (FAILED(hr)) return hr;
        infos.push_back(std::move(info));
    }
    for (std::size_t i = 0; i < declared.size(); ++i) {
        std::vector<HREFTYPE> objectRefs(declared.size());
        for (std::size_t k = 0; k < declared.size(); ++k) {
            Ref<ITypeInfo> target;
            hr = infos[k]->QueryInterface(IID_ITypeInfo, reinterpret_cast<void**>(target.put()));
            if (SUCCEEDED(hr)) hr = infos[i]->AddRefTypeInfo(target.get(), &objectRefs[k]);
            if (FAILED(hr)) return hr;
        }
        hr = AddFunctions(infos[i].get(), declared[i], objectRefs, platform);
        if (FAILED(hr)) return hr;
    }
    for (auto& info : infos) {
        hr = info->LayOut();
        if (FAILED(hr)) return hr;
    }
    return library->SaveAllChanges();
}

// One file per platform the library is registered for: the server's own, and for a 64-bit server also
// the 32-bit one, through which a 32-bit client (the tool) marshals its calls to the server.
struct Platform {
    SYSKIND kind;
    const wchar_t* suffix;
};
#ifdef _WIN64
constexpr Platform kPlatforms[] = {{SYS_WIN64, L".tlb"}, {SYS_WIN32, L"32.tlb"}};
#else
constexpr Platform kPlatforms[] = {{SYS_WIN32, L".tlb"}};
#endif

std::wstring PlatformPath(const std::wstring& path, const Platform& platform) {
    return path.substr(0, path.size() - 4) + platform.suffix;
}

}  // namespace

HRESULT RegisterTypeLibrary(const std::wstring& path) {
    for (const Platform& platform : kPlatforms) {
        const std::wstring file = PlatformPath(path, platform);
        HRESULT hr = Build(file, platform.kind);
        if (FAILED(hr)) return hr;
        Ref<ITypeLib> library;
        hr = ::LoadTypeLibEx(file.c_str(), REGKIND_NONE, library.put());
        if (SUCCEEDED(hr)) hr = ::RegisterTypeLib(library.get(), const_cast<LPOLESTR>(file.c_str()), nullptr);
        if (FAILED(hr)) return hr;
    }
    return S_OK;
}

HRESULT UnregisterTypeLibrary(const std::wstring& path) {
    HRESULT result = S_OK;
    for (const Platform& platform : kPlatforms) {
        const HRESULT hr = ::UnRegisterTypeLib(kLibraryId, 1, 0, LOCALE_NEUTRAL, platform.kind);
        ::DeleteFileW(PlatformPath(path, platform).c_str());
        // A library that is not registered is no failure; Wine reports it as E_INVALIDARG.
        const bool absent = hr == TYPE_E_REGISTRYACCESS || hr == TYPE_E_CANTLOADLIBRARY || hr == E_INVALIDARG;
        if (!absent && SUCCEEDED(result)) result = hr;
    }
    return result;
}

ITypeLib* LoadTypeLibrary() {
    ITypeLib* library = nullptr;
    return SUCCEEDED(::LoadRegTypeLib(kLibraryId, 1, 0, LOCALE_NEUTRAL, &library)) ? library : nullptr;
}

}  // namespace standin::word
