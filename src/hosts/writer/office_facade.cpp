#include "hosts/writer/office_facade.h"

#include <objbase.h>

#include <source_location>
#include <utility>
#include <vector>

#include "hosts/writer/clipboard.h"
#include "platform/com/automation.h"
#include "platform/com/call_bound.h"
#include "platform/com/safe_array.h"
#include "platform/errors.h"
#include "platform/process/process_session.h"
#include "platform/process/running_processes.h"
#include "platform/run/run_deadline.h"
#include "platform/run/run_log.h"
#include "platform/run/system_error.h"
#include "platform/text/res_string.h"

namespace cx {
namespace {

constexpr wchar_t kServiceManagerProgId[] = L"com.sun.star.ServiceManager";
constexpr wchar_t kSuiteProcess[] = L"soffice.bin";
constexpr wchar_t kTextDocumentService[] = L"com.sun.star.text.TextDocument";
constexpr wchar_t kAddinUrlFormat[] = L"com.corvane2.cvooaddin:%s";
// The unit name assertion messages give, as the product's other parts report it.
constexpr wchar_t kAssertUnit[] = L"CVAddin\\OpenOffice\\CVOleEditorFacadeOO";

// A violated precondition is the caller's programming error: "Assertion failure (<unit>, line <n>)".
void Check(bool condition, std::source_location where = std::source_location::current()) {
    if (!condition) RaiseAssertion(kAssertUnit, static_cast<int>(where.line()));
}

// CLSIDFromProgID, then CoCreateInstance for IDispatch, in process or local. An unknown ProgID raises
// "<system message>, ProgID: "<ProgID>"", a failed creation the plain EOleSysError.
ComPtr<IDispatch> CreateOleObject(const wchar_t* progId) {
    CLSID clsid{};
    HRESULT hr = ::CLSIDFromProgID(progId, &clsid);
    if (FAILED(hr)) {
        throw EOleSysError(FormatResString(IDS_OLE_PROGID_ERROR, {OleErrorMessage(hr), progId}),
                           static_cast<std::int32_t>(hr));
    }
    ComPtr<IDispatch> object;
    {
        const ScopedWait wait(L"the automation server to start: ", progId);
        const BoundedCall bound(L"starting " + std::wstring(progId));
        hr = ::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, IID_IDispatch,
                                object.put_void());
        if (bound.GaveUp()) hr = RPC_E_TIMEOUT;
    }
    LogServerActivation(L"start", progId, hr);
    if (FAILED(hr)) RaiseOleSysError(hr);
    return object;
}

// A call without arguments whose result is an object, e.g. Document.GetCurrentController.
ComPtr<IDispatch> Step(const ComPtr<IDispatch>& object, std::wstring_view member) {
    return AsObject(GetProperty(object.get(), member));
}

Variant Converted(const Variant& value, VARTYPE type) {
    Variant out;
    const HRESULT hr = ::VariantChangeType(out.put(), const_cast<VARIANT*>(value.get()), 0, type);
    if (FAILED(hr)) RaiseOleSysError(hr);
    return out;
}

LONG ToLong(const Variant& value) {
    return Converted(value, VT_I4).get()->lVal;
}

// The automation sum of two values (numbers stay numbers whatever their variant types).
Variant Sum(const Variant& a, const Variant& b) {
    Variant out;
    const HRESULT hr = ::VarAdd(const_cast<VARIANT*>(a.get()), const_cast<VARIANT*>(b.get()), out.put());
    if (FAILED(hr)) RaiseOleSysError(hr);
    return out;
}

}  // namespace

RECT OleEditorFacadeOO::GetDocumentWindowRect() {
    Check(static_cast<bool>(document_));
    const ComPtr<IDispatch> area =
        Step(Step(Step(Step(document_, L"GetCurrentController"), L"GetFrame"), L"GetContainerWindow"),
             L"GetPosSize");
    const Variant x = GetProperty(area.get(), L"X");
    const Variant y = GetProperty(area.get(), L"Y");
    const Variant width = GetProperty(area.get(), L"Width");
    const Variant height = GetProperty(area.get(), L"Height");
    RECT rect{ToLong(x), ToLong(y), ToLong(Sum(x, width)), ToLong(Sum(y, height))};
    // The container window is the client area; the frame and caption lie around it.
    const int frameX = ::GetSystemMetrics(SM_CXFRAME);
    const int frameY = ::GetSystemMetrics(SM_CYFRAME);
    rect.left -= frameX;
    rect.top -= ::GetSystemMetrics(SM_CYCAPTION) + frameY;
    rect.right += frameX;
    rect.bottom += frameY;
    return rect;
}

std::wstring OleEditorFacadeOO::GetNoDocumentMessage() {
    return LoadResString(IDS_NO_WRITER_DOCUMENT);
}

void OleEditorFacadeOO::ConnectSuite() {
    serviceManager_.reset();
    CLSID clsid{};
    if (FAILED(::CLSIDFromProgID(kServiceManagerProgId, &clsid))) clsid = CLSID{};
    ServerLaunch launch(kServiceManagerProgId, clsid);
    try {
        serviceManager_ = CreateOleObject(kServiceManagerProgId);
    } catch (const Exception&) {
        serviceManager_.reset();
    }
    startedSuite_ = launch.Identify();
}

void OleEditorFacadeOO::ExecuteAddinCommand(std::uint8_t index, const std::wstring& parameter) {
    Check(index < kWriterAddinCommands.size());
    DispatchCommand(FormatText(kAddinUrlFormat, {kWriterAddinCommands[index]}), parameter);
}

void OleEditorFacadeOO::ConnectIfRunning() {
    serviceManager_.reset();
    // Creating the service manager would start the suite; look for its process first.
    ProcessList processes;
    if (!GetRunningProcessNames(processes, false, *processes_)) return;
    ProcessList reachable;
    for (const RunningProcess& process : processes) {
        if (HasProcessNamed({process}, kSuiteProcess) && ReachableByAutomation(process.pid, *processes_))
            reachable.push_back(process);
    }
    if (reachable.empty()) return;
    ConnectSuite();
}

void OleEditorFacadeOO::FindActiveDocument() {
    document_.reset();
    if (!serviceManager_) return;
    try {
        const Variant desktop = CallMethod(serviceManager_.get(), L"CreateInstance",
                                           {Variant::Text(L"com.sun.star.frame.Desktop")});
        const Variant component = GetProperty(AsObject(desktop).get(), L"GetCurrentComponent");
        // Anything but an object (nothing open, a number) has no services to ask about.
        if (!IsDispatchVariant(*component.get())) return;
        const ComPtr<IDispatch> candidate = AsObject(component);
        const Variant isText =
            CallMethod(candidate.get(), L"SupportsService", {Variant::Text(kTextDocumentService)});
        if (Converted(isText, VT_BOOL).get()->boolVal != VARIANT_FALSE) document_ = candidate;
    } catch (const Exception&) {
        document_.reset();
    }
}

void OleEditorFacadeOO::PasteRtf(const std::string& rtf) {
    Check(serviceManager_ && document_);
    const ComPtr<IDispatch> cursor = Step(Step(document_, L"GetCurrentController"), L"GetViewCursor");
    CallMethod(cursor.get(), L"CollapseToEnd");
    PutRtfOnClipboard(rtf);
    try {
        DispatchCommand(L".uno:Paste", std::wstring());
    } catch (const Exception&) {
        // Pasting is a convenience; the text stays on the clipboard for the user.
    }
}

void OleEditorFacadeOO::DispatchCommand(const std::wstring& url, const std::wstring& parameter) {
    Check(serviceManager_ && document_);
    const ComPtr<IDispatch> factory =
        Step(AsObject(GetProperty(serviceManager_.get(), L"DefaultContext")), L"GetServiceManager");
    const Variant dispatcher =
        CallMethod(factory.get(), L"CreateInstance", {Variant::Text(L"com.sun.star.frame.DispatchHelper")});
    Check(IsDispatchVariant(*dispatcher.get()));
    Variant frame = GetProperty(Step(document_, L"GetCurrentController").get(), L"GetFrame");
    Check(IsDispatchVariant(*frame.get()));

    // The command's arguments: a sequence of property values, empty without a parameter.
    Variant arguments;
    if (parameter.empty()) {
        arguments = VariantArray(0).ToVariant();
    } else {
        const Variant reflection = CallMethod(serviceManager_.get(), L"CreateInstance",
                                              {Variant::Text(L"com.sun.star.reflection.CoreReflection")});
        const Variant type = CallMethod(AsObject(reflection).get(), L"ForName",
                                        {Variant::Text(L"com.sun.star.beans.PropertyValue")});
        Variant property;
        CallMethod(AsObject(type).get(), L"CreateObject", {AutomationArg::ByRef(property)});
        const ComPtr<IDispatch> fields = AsObject(property);
        PutProperty(fields.get(), L"Name", Variant::Text(L"Param"));
        PutProperty(fields.get(), L"Value", Variant::Text(parameter));
        VariantArray array(1);
        array.Set(0, property);
        arguments = std::move(array).ToVariant();
    }
    CallMethod(AsObject(dispatcher).get(), L"ExecuteDispatch",
               {AutomationArg::ByRef(frame), Variant::Text(url), Variant::Text(L""), Variant::Int(0),
                AutomationArg::ByRef(arguments)});
}

namespace {

struct FacadeClass {
    std::wstring name;
    FacadeFactory factory;
};

std::vector<FacadeClass>& FacadeClasses() {
    static std::vector<FacadeClass> classes{
        {L"OOWriter",
         []() -> std::unique_ptr<OleEditorFacade> { return std::make_unique<OleEditorFacadeOO>(); }},
    };
    return classes;
}

FacadeClass* FindFacadeClass(std::wstring_view name) {
    for (FacadeClass& entry : FacadeClasses()) {
        if (::CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, entry.name.data(),
                             static_cast<int>(entry.name.size()), name.data(),
                             static_cast<int>(name.size())) == CSTR_EQUAL) {
            return &entry;
        }
    }
    return nullptr;
}

}  // namespace

void RegisterFacadeClass(std::wstring_view name, FacadeFactory factory) {
    if (FacadeClass* entry = FindFacadeClass(name)) {
        entry->factory = factory;
        return;
    }
    FacadeClasses().push_back({std::wstring(name), factory});
}

std::unique_ptr<OleEditorFacade> CreateFacade(std::wstring_view name) {
    const FacadeClass* entry = FindFacadeClass(name);
    return entry && entry->factory ? entry->factory() : nullptr;
}

}  // namespace cx
