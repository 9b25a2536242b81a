#include "word/word_objects.h"

#include <algorithm>

#include "common/com_server.h"
#include "common/variant_text.h"

namespace standin::word {
namespace {

using Model = std::shared_ptr<WordModel>;

void ReturnBool(Call& call, bool value) {
    call.result->vt = VT_BOOL;
    call.result->boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
}

void ReturnLong(Call& call, long value) {
    call.result->vt = VT_I4;
    call.result->lVal = value;
}

void ReturnString(Call& call, const std::wstring& value) {
    call.result->vt = VT_BSTR;
    call.result->bstrVal = ::SysAllocStringLen(value.data(), static_cast<UINT>(value.size()));
}

bool SameText(const std::wstring& a, const std::wstring& b) {
    return ::CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                                  static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

bool IsText(const VARIANT& value) {
    return (Deref(value).vt & VT_TYPEMASK) == VT_BSTR;
}

Fault OutOfBounds() {
    return {DISP_E_BADINDEX, L"The index into the specified collection is out of bounds."};
}

Fault Deleted() {
    return {E_FAIL, L"Object has been deleted."};
}

class NormalTemplate : public DispatchObject {
public:
    NormalTemplate() : DispatchObject(L"Template", L"NormalTemplate") {
        AddMethod(L"Save", 0, 0, [](Call&) {});
    }
};

class Control : public DispatchObject {
public:
    Control(Model model, std::size_t bar, int number)
        : DispatchObject(L"Control", L"Control#" + std::to_wstring(number)) {
        // Delete(Temporary): the argument only matters to Word's own bookkeeping.
        AddMethod(L"Delete", 0, 1, [model, bar, number](Call&) {
            auto& controls = model->bars[bar].controls;
            const auto it = std::find(controls.begin(), controls.end(), number);
            if (model->bars[bar].deleted || it == controls.end()) throw Deleted();
            controls.erase(it);
        });
    }
};

class Controls : public DispatchObject {
public:
    Controls(Model model, std::size_t bar) : DispatchObject(L"CommandBarControls", L"Controls") {
        AddGetter(L"Count", [model, bar](Call& call) {
            if (model->bars[bar].deleted) throw Deleted();
            ReturnLong(call, static_cast<long>(model->bars[bar].controls.size()));
        });
        AddGetter(
            L"Item",
            [model, bar](Call& call) {
                const auto& controls = model->bars[bar].controls;
                const long index = ArgLong(*call.args[0]);
                if (model->bars[bar].deleted) throw Deleted();
                if (index < 1 || static_cast<std::size_t>(index) > controls.size()) throw OutOfBounds();
                ReturnObject(call, new Control(model, bar, controls[static_cast<std::size_t>(index - 1)]));
            },
            1, 1);
    }
};

class Bar : public DispatchObject {
public:
    Bar(Model model, std::size_t bar)
        : DispatchObject(L"CommandBar", L"CommandBar(" + model->bars[bar].name + L")") {
        AddGetter(L"Controls", [model, bar](Call& call) {
            if (model->bars[bar].deleted) throw Deleted();
            ReturnObject(call, new Controls(model, bar));
        });
        AddMethod(L"Delete", 0, 0, [model, bar](Call&) {
            if (model->bars[bar].deleted) throw Deleted();
            model->bars[bar].deleted = true;
        });
    }
};

class Bars : public DispatchObject {
public:
    explicit Bars(Model model) : DispatchObject(L"CommandBars", L"CommandBars") {
        AddGetter(
            L"Item",
            [model](Call& call) {
                const auto present = Present(*model);
                std::optional<std::size_t> found;
                if (IsText(*call.args[0])) {
                    const std::wstring name = ArgString(*call.args[0]);
                    for (const std::size_t i : present) {
                        if (SameText(model->bars[i].name, name)) found = i;
                    }
                } else {
                    const long index = ArgLong(*call.args[0]);
                    if (index >= 1 && static_cast<std::size_t>(index) <= present.size()) {
                        found = present[static_cast<std::size_t>(index - 1)];
                    }
                }
                if (found) return ReturnObject(call, new Bar(model, *found));
                switch (model->unknownBar) {
                    case UnknownBar::Fail:
                        throw Fault{static_cast<HRESULT>(0x800A0005), L"Invalid procedure call or argument"};
                    case UnknownBar::Empty:
                        break;
                    case UnknownBar::Null:
                        call.result->vt = VT_DISPATCH;
                        call.result->pdispVal = nullptr;
                        break;
                }
            },
            1, 1);
    }

private:
    static std::vector<std::size_t> Present(const WordModel& model) {
        std::vector<std::size_t> present;
        for (std::size_t i = 0; i < model.bars.size(); ++i) {
            if (!model.bars[i].deleted) present.push_back(i);
        }
        return present;
    }
};

class AddInObject : public DispatchObject {
public:
    AddInObject(Model model, std::size_t index)
        : DispatchObject(L"COMAddIn", L"COMAddIn#" + std::to_wstring(index + 1)) {
        AddGetter(L"ProgId", [model, index](Call& call) { ReturnString(call, model->addIns[index].progId); });
        AddGetter(L"Connect",
                  [model, index](Call& call) { ReturnBool(call, model->addIns[index].connected); });
        AddSetter(L"Connect", [model, index](Call& call) {
            model->addIns[index].connected = ArgBool(*call.args.back());
        });
    }
};

class AddIns : public DispatchObject {
public:
    explicit AddIns(Model model) : DispatchObject(L"COMAddIns", L"COMAddIns") {
        AddGetter(L"Count",
                  [model](Call& call) { ReturnLong(call, static_cast<long>(model->addIns.size())); });
        // A method in Word's interface, with the index passed by reference; a ProgID is accepted as well.
        AddMethod(L"Item", 1, 1, [model](Call& call) {
            const auto& addIns = model->addIns;
            if (IsText(*call.args[0])) {
                const std::wstring progId = ArgString(*call.args[0]);
                for (std::size_t i = 0; i < addIns.size(); ++i) {
                    if (SameText(addIns[i].progId, progId))
                        return ReturnObject(call, new AddInObject(model, i));
                }
                throw OutOfBounds();
            }
            const long index = ArgLong(*call.args[0]);
            if (index < 1 || static_cast<std::size_t>(index) > addIns.size()) throw OutOfBounds();
            ReturnObject(call, new AddInObject(model, static_cast<std::size_t>(index - 1)));
        });
    }
};

class Application : public DispatchObject {
public:
    explicit Application(Model model) : DispatchObject(L"Application", L"Application") {
        AlsoAnswer(kApplicationIid);
        AddGetter(L"Visible", [model](Call& call) { ReturnBool(call, model->visible); });
        AddSetter(L"Visible", [model](Call& call) { model->visible = ArgBool(*call.args.back()); });
        AddGetter(L"COMAddIns", [model](Call& call) { ReturnObject(call, new AddIns(model)); });
        AddGetter(L"CommandBars", [model](Call& call) { ReturnObject(call, new Bars(model)); });
        AddGetter(L"NormalTemplate", [](Call& call) { ReturnObject(call, new NormalTemplate()); });
        // Quit(SaveChanges, OriginalFormat, RouteDocument), all optional.
        AddMethod(L"Quit", 0, 3, [](Call&) { ServerRequestExit(L"quit"); });
    }
};

}  // namespace

DispatchObject* NewApplication(std::shared_ptr<WordModel> model) {
    return new Application(std::move(model));
}

}  // namespace standin::word
