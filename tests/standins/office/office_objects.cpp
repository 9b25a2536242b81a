#include "office/office_objects.h"

#include <cwchar>

#include "common/variant_text.h"

namespace standin::office {
namespace {

using Model = std::shared_ptr<OfficeModel>;

constexpr wchar_t kPropertyValueType[] = L"com.sun.star.beans.PropertyValue";

void ReturnLong(Call& call, long value) {
    call.result->vt = VT_I4;
    call.result->lVal = value;
}

// A UNO structure com.sun.star.beans.PropertyValue as the automation bridge hands it out.
class PropertyValue : public DispatchObject {
public:
    explicit PropertyValue(int number)
        : DispatchObject(L"PropertyValue", L"PropertyValue#" + std::to_wstring(number)) {
        ::VariantInit(&value_);
        AddGetter(L"Name", [this](Call& call) {
            call.result->vt = VT_BSTR;
            call.result->bstrVal = ::SysAllocString(name_.c_str());
        });
        AddSetter(L"Name", [this](Call& call) { name_ = ArgString(*call.args.back()); });
        AddGetter(L"Value", [this](Call& call) { ::VariantCopy(call.result, &value_); });
        AddSetter(L"Value", [this](Call& call) {
            VARIANT copy;
            ::VariantInit(&copy);
            if (FAILED(::VariantCopyInd(&copy, const_cast<VARIANT*>(&Deref(*call.args.back())))))
                throw Fault{DISP_E_TYPEMISMATCH, {}};
            ::VariantClear(&value_);
            value_ = copy;
        });
    }
    ~PropertyValue() override { ::VariantClear(&value_); }

    std::wstring Describe() const override {
        return Label() + L"{Name=" + Quoted(name_) + L", Value=" + DescribeVariant(value_) + L"}";
    }

private:
    std::wstring name_;
    VARIANT value_;
};

class IdlClass : public DispatchObject {
public:
    IdlClass(Model model, const std::wstring& type)
        : DispatchObject(L"IdlClass", L"IdlClass(" + type + L")") {
        // CreateObject(out value): the new structure comes back through the by-reference argument.
        AddMethod(L"CreateObject", 1, 1, [model](Call& call) {
            auto* value = new PropertyValue(++model->propertyValues);
            try {
                StoreObject(*call.args[0], value);
            } catch (...) {
                value->Release();
                throw;
            }
            value->Release();
        });
    }
};

class CoreReflection : public DispatchObject {
public:
    explicit CoreReflection(Model model) : DispatchObject(L"CoreReflection", L"CoreReflection") {
        AddMethod(L"ForName", 1, 1, [model](Call& call) {
            const std::wstring type = ArgString(*call.args[0]);
            if (type == kPropertyValueType) {
                ReturnObject(call, new IdlClass(model, type));
            } else {
                call.result->vt = VT_DISPATCH;  // an unknown type: a null reference
            }
        });
    }
};

class DispatchHelper : public DispatchObject {
public:
    DispatchHelper() : DispatchObject(L"DispatchHelper", L"DispatchHelper") {
        // ExecuteDispatch(frame, URL, target frame name, search flags, arguments): the journal line is the
        // whole effect.
        AddMethod(L"ExecuteDispatch", 5, 5, [](Call&) {});
    }
};

class Rectangle : public DispatchObject {
public:
    explicit Rectangle(Model model) : DispatchObject(L"Rectangle", L"PosSize") {
        const wchar_t* names[] = {L"X", L"Y", L"Width", L"Height"};
        for (int i = 0; i < 4; ++i) {
            AddGetter(names[i], [model, i](Call& call) { ReturnLong(call, model->window[i]); });
        }
    }
};

class ContainerWindow : public DispatchObject {
public:
    explicit ContainerWindow(Model model) : DispatchObject(L"Window", L"ContainerWindow") {
        AddMethod(L"GetPosSize", 0, 0, [model](Call& call) { ReturnObject(call, new Rectangle(model)); });
    }
};

class Frame : public DispatchObject {
public:
    explicit Frame(Model model) : DispatchObject(L"Frame", L"Frame") {
        AddMethod(L"GetContainerWindow", 0, 0,
                  [model](Call& call) { ReturnObject(call, new ContainerWindow(model)); });
    }
};

class ViewCursor : public DispatchObject {
public:
    ViewCursor() : DispatchObject(L"ViewCursor", L"ViewCursor") {
        AddMethod(L"CollapseToEnd", 0, 0, [](Call&) {});
    }
};

class Controller : public DispatchObject {
public:
    explicit Controller(Model model) : DispatchObject(L"Controller", L"Controller") {
        AddMethod(L"GetFrame", 0, 0, [model](Call& call) { ReturnObject(call, new Frame(model)); });
        AddMethod(L"GetViewCursor", 0, 0, [](Call& call) { ReturnObject(call, new ViewCursor()); });
    }
};

class Document : public DispatchObject {
public:
    Document(Model model, bool text)
        : DispatchObject(L"Document", text ? L"TextDocument" : L"SpreadsheetDocument") {
        const wchar_t* service =
            text ? L"com.sun.star.text.TextDocument" : L"com.sun.star.sheet.SpreadsheetDocument";
        // UNO service names are compared exactly.
        AddMethod(L"SupportsService", 1, 1, [service](Call& call) {
            call.result->vt = VT_BOOL;
            call.result->boolVal = ArgString(*call.args[0]) == service ? VARIANT_TRUE : VARIANT_FALSE;
        });
        AddMethod(L"GetCurrentController", 0, 0,
                  [model](Call& call) { ReturnObject(call, new Controller(model)); });
    }
};

class Desktop : public DispatchObject {
public:
    explicit Desktop(Model model) : DispatchObject(L"Desktop", L"Desktop") {
        AddMethod(L"GetCurrentComponent", 0, 0, [model](Call& call) {
            switch (model->component) {
                case Component::Text:
                    return ReturnObject(call, new Document(model, true));
                case Component::Spreadsheet:
                    return ReturnObject(call, new Document(model, false));
                case Component::None:
                    return;
                case Component::Null:
                    call.result->vt = VT_DISPATCH;
                    return;
                case Component::Number:
                    return ReturnLong(call, 42);
            }
        });
    }
};

class DefaultContext : public DispatchObject {
public:
    explicit DefaultContext(Model model) : DispatchObject(L"ComponentContext", L"DefaultContext") {
        AddMethod(L"GetServiceManager", 0, 0,
                  [model](Call& call) { ReturnObject(call, NewServiceManager(model)); });
    }
};

class ServiceManager : public DispatchObject {
public:
    explicit ServiceManager(Model model) : DispatchObject(L"ServiceManager", L"ServiceManager") {
        AddMethod(L"CreateInstance", 1, 1, [model](Call& call) {
            const std::wstring name = ArgString(*call.args[0]);
            if (name == L"com.sun.star.frame.Desktop") return ReturnObject(call, new Desktop(model));
            if (name == L"com.sun.star.frame.DispatchHelper") return ReturnObject(call, new DispatchHelper());
            if (name == L"com.sun.star.reflection.CoreReflection") {
                return ReturnObject(call, new CoreReflection(model));
            }
            call.result->vt = VT_DISPATCH;  // an unknown service: a null reference
        });
        AddGetter(L"DefaultContext", [model](Call& call) { ReturnObject(call, new DefaultContext(model)); });
    }
};

}  // namespace

std::shared_ptr<OfficeModel> ModelFromScenario(const Scenario& scenario) {
    auto model = std::make_shared<OfficeModel>();
    const auto component = scenario.Get("component").value_or(L"text");
    if (component == L"spreadsheet") model->component = Component::Spreadsheet;
    if (component == L"none") model->component = Component::None;
    if (component == L"null") model->component = Component::Null;
    if (component == L"number") model->component = Component::Number;
    if (const auto window = scenario.Get("window")) {
        long values[4];
        if (std::swscanf(window->c_str(), L"%ld,%ld,%ld,%ld", &values[0], &values[1], &values[2],
                         &values[3]) == 4) {
            for (int i = 0; i < 4; ++i) model->window[i] = values[i];
        }
    }
    return model;
}

DispatchObject* NewServiceManager(std::shared_ptr<OfficeModel> model) {
    return new ServiceManager(std::move(model));
}

}  // namespace standin::office
