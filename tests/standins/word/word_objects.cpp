#include "word/word_objects.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <optional>
#include <vector>

#include "common/com_server.h"
#include "common/typed_object.h"
#include "common/variant_text.h"
#include "word/addin_host.h"
#include "word/type_library.h"
#include "word/word_interfaces.h"

namespace standin::word {
namespace {

using Model = std::shared_ptr<WordModel>;

struct IidLess {
    bool operator()(const IID& a, const IID& b) const { return std::memcmp(&a, &b, sizeof a) < 0; }
};

std::map<IID, ITypeInfo*, IidLess>& Infos() {
    static std::map<IID, ITypeInfo*, IidLess> infos;
    return infos;
}

ITypeInfo* Info(const IID& iid) {
    const auto found = Infos().find(iid);
    return found == Infos().end() ? nullptr : found->second;
}

VARIANT_BOOL AsVariantBool(bool value) {
    return value ? VARIANT_TRUE : VARIANT_FALSE;
}

Fault OutOfBounds() {
    return {DISP_E_BADINDEX, L"The index into the specified collection is out of bounds."};
}

Fault Deleted() {
    return {E_FAIL, L"Object has been deleted."};
}

// A VARIANT* parameter: the dispatcher always points it at a variant.
const VARIANT& Referenced(const VARIANT* value) {
    if (!value) throw Fault{E_POINTER, std::nullopt};
    return *value;
}

template <typename Interface>
class WordObject : public TypedObject<Interface> {
protected:
    WordObject(const IID& iid, const wchar_t* className, std::wstring label)
        : TypedObject<Interface>(iid, Info(iid), className, std::move(label)) {}
};

// Hands a new object to the dispatcher as the member's result; takes over its reference.
template <typename Object>
void Return(IDispatch** out, Object* object) {
    *out = object;
}

class NormalTemplate : public WordObject<ITemplate> {
public:
    NormalTemplate() : WordObject(kTemplateIid, L"Template", L"NormalTemplate") {}

    HRESULT STDMETHODCALLTYPE Save() override {
        return Run(L"Save", CallKind::Method, {}, [] {});
    }
};

class Control : public WordObject<ICommandBarControl> {
public:
    Control(Model model, std::size_t bar, int number)
        : WordObject(kControlIid, L"Control", L"Control#" + std::to_wstring(number)),
          model_(std::move(model)),
          bar_(bar),
          number_(number) {}

    // Delete([in, optional] VARIANT Temporary): the flag only matters to Word's own bookkeeping.
    HRESULT STDMETHODCALLTYPE Delete(VARIANT temporary) override {
        return Run(L"Delete", CallKind::Method, {ArgText(temporary)}, [&] {
            if (!IsOmitted(temporary)) ReadBool(temporary);
            auto& controls = model_->bars[bar_].controls;
            const auto it = std::find(controls.begin(), controls.end(), number_);
            if (model_->bars[bar_].deleted || it == controls.end()) throw Deleted();
            controls.erase(it);
        });
    }

private:
    Model model_;
    std::size_t bar_;
    int number_;
};

class Controls : public WordObject<ICommandBarControls> {
public:
    Controls(Model model, std::size_t bar)
        : WordObject(kControlsIid, L"CommandBarControls", L"Controls"), model_(std::move(model)), bar_(bar) {}

    HRESULT STDMETHODCALLTYPE get_Count(int* value) override {
        return Run(L"Count", CallKind::Get, {}, [&] {
            if (model_->bars[bar_].deleted) throw Deleted();
            *value = static_cast<int>(model_->bars[bar_].controls.size());
        });
    }
    HRESULT STDMETHODCALLTYPE get_Item(VARIANT index, IDispatch** value) override {
        *value = nullptr;
        return Run(L"Item", CallKind::Get, {ArgText(index)}, [&] {
            const long position = ReadLong(index);
            const auto& controls = model_->bars[bar_].controls;
            if (model_->bars[bar_].deleted) throw Deleted();
            if (position < 1 || static_cast<std::size_t>(position) > controls.size()) throw OutOfBounds();
            Return(value, new Control(model_, bar_, controls[static_cast<std::size_t>(position - 1)]));
        });
    }

private:
    Model model_;
    std::size_t bar_;
};

class Bar : public WordObject<ICommandBar> {
public:
    Bar(Model model, std::size_t bar)
        : WordObject(kBarIid, L"CommandBar", L"CommandBar(" + model->bars[bar].name + L")"),
          model_(std::move(model)),
          bar_(bar) {}

    HRESULT STDMETHODCALLTYPE get_Controls(IDispatch** value) override {
        *value = nullptr;
        return Run(L"Controls", CallKind::Get, {}, [&] {
            if (model_->bars[bar_].deleted) throw Deleted();
            Return(value, new Controls(model_, bar_));
        });
    }
    HRESULT STDMETHODCALLTYPE Delete() override {
        return Run(L"Delete", CallKind::Method, {}, [&] {
            if (model_->bars[bar_].deleted) throw Deleted();
            model_->bars[bar_].deleted = true;
        });
    }

private:
    Model model_;
    std::size_t bar_;
};

class Bars : public WordObject<ICommandBars> {
public:
    explicit Bars(Model model)
        : WordObject(kBarsIid, L"CommandBars", L"CommandBars"), model_(std::move(model)) {}

    // Item(Index): a bar's name or its position among the bars still there.
    HRESULT STDMETHODCALLTYPE get_Item(VARIANT index, IDispatch** value) override {
        *value = nullptr;
        return Run(L"Item", CallKind::Get, {ArgText(index)}, [&] {
            const auto present = Present();
            std::optional<std::size_t> found;
            if (index.vt == VT_BSTR) {
                const std::wstring name = index.bstrVal ? index.bstrVal : L"";
                for (const std::size_t i : present) {
                    if (SameName(model_->bars[i].name, name)) found = i;
                }
            } else {
                const long position = ReadLong(index);
                if (position >= 1 && static_cast<std::size_t>(position) <= present.size())
                    found = present[static_cast<std::size_t>(position - 1)];
            }
            if (found) return Return(value, new Bar(model_, *found));
            if (model_->unknownBar == UnknownBar::Fail)
                throw Fault{static_cast<HRESULT>(0x800A0005), L"Invalid procedure call or argument"};
        });
    }

private:
    std::vector<std::size_t> Present() const {
        std::vector<std::size_t> present;
        for (std::size_t i = 0; i < model_->bars.size(); ++i) {
            if (!model_->bars[i].deleted) present.push_back(i);
        }
        return present;
    }

    Model model_;
};

class AddInObject : public WordObject<IComAddIn> {
public:
    AddInObject(Model model, std::size_t index)
        : WordObject(kAddInIid, L"COMAddIn", L"COMAddIn#" + std::to_wstring(index + 1)),
          model_(std::move(model)),
          index_(index) {}

    HRESULT STDMETHODCALLTYPE get_ProgId(BSTR* value) override {
        *value = nullptr;
        return Run(L"ProgId", CallKind::Get, {}, [&] {
            const std::wstring& progId = model_->addIns[index_].progId;
            *value = ::SysAllocStringLen(progId.data(), static_cast<UINT>(progId.size()));
        });
    }
    HRESULT STDMETHODCALLTYPE get_Connect(VARIANT_BOOL* value) override {
        return Run(L"Connect", CallKind::Get, {},
                   [&] { *value = AsVariantBool(model_->addIns[index_].connected); });
    }
    // Connecting loads the add-in into Word (addin_host.h). What Word answers when that fails is not
    // documented; the stand-in fails the write with the load's HRESULT, without a description.
    HRESULT STDMETHODCALLTYPE put_Connect(VARIANT_BOOL value) override {
        return Run(L"Connect", CallKind::Put, {ArgText(value)}, [&] {
            AddIn& addIn = model_->addIns[index_];
            if (value == VARIANT_FALSE) return DisconnectAddIn(addIn, kDisconnectUserClosed);
            if (addIn.connected) return;
            const HRESULT hr = ConnectAddIn(*model_, addIn, this, kConnectAfterStartup);
            if (FAILED(hr)) throw Fault{hr, std::nullopt};
        });
    }

private:
    Model model_;
    std::size_t index_;
};

class AddIns : public WordObject<IComAddIns> {
public:
    explicit AddIns(Model model)
        : WordObject(kAddInsIid, L"COMAddIns", L"COMAddIns"), model_(std::move(model)) {}

    // Item([in] VARIANT* Index): a position from 1, or a ProgID.
    HRESULT STDMETHODCALLTYPE Item(VARIANT* index, IDispatch** value) override {
        *value = nullptr;
        return Run(L"Item", CallKind::Method, {ArgText(index)}, [&] {
            const VARIANT& argument = Referenced(index);
            const auto& addIns = model_->addIns;
            if (argument.vt == VT_BSTR) {
                const std::wstring progId = argument.bstrVal ? argument.bstrVal : L"";
                for (std::size_t i = 0; i < addIns.size(); ++i) {
                    if (SameName(addIns[i].progId, progId)) return Return(value, new AddInObject(model_, i));
                }
                throw OutOfBounds();
            }
            const long position = ReadLong(argument);
            if (position < 1 || static_cast<std::size_t>(position) > addIns.size()) throw OutOfBounds();
            Return(value, new AddInObject(model_, static_cast<std::size_t>(position - 1)));
        });
    }
    HRESULT STDMETHODCALLTYPE get_Count(long* value) override {
        return Run(L"Count", CallKind::Get, {}, [&] { *value = static_cast<long>(model_->addIns.size()); });
    }

private:
    Model model_;
};

class Application : public WordObject<IWordApplication> {
public:
    explicit Application(Model model)
        : WordObject(kApplicationIid, L"Application", L"Application"), model_(std::move(model)) {
        model_->application = this;
    }
    ~Application() override {
        if (model_->application == this) model_->application = nullptr;
    }

    HRESULT STDMETHODCALLTYPE get_Visible(VARIANT_BOOL* value) override {
        return Run(L"Visible", CallKind::Get, {}, [&] { *value = AsVariantBool(model_->visible); });
    }
    HRESULT STDMETHODCALLTYPE put_Visible(VARIANT_BOOL value) override {
        return Run(L"Visible", CallKind::Put, {ArgText(value)},
                   [&] { model_->visible = value != VARIANT_FALSE; });
    }
    HRESULT STDMETHODCALLTYPE get_COMAddIns(IDispatch** value) override {
        *value = nullptr;
        return Run(L"COMAddIns", CallKind::Get, {}, [&] { Return(value, new AddIns(model_)); });
    }
    HRESULT STDMETHODCALLTYPE get_CommandBars(IDispatch** value) override {
        *value = nullptr;
        return Run(L"CommandBars", CallKind::Get, {}, [&] { Return(value, new Bars(model_)); });
    }
    HRESULT STDMETHODCALLTYPE get_NormalTemplate(IDispatch** value) override {
        *value = nullptr;
        return Run(L"NormalTemplate", CallKind::Get, {}, [&] { Return(value, new NormalTemplate()); });
    }
    // Quit([in, optional] VARIANT* SaveChanges, OriginalFormat, RouteDocument): each left out or a
    // value of its type (a WdSaveOptions and a WdOriginalFormat number, a Boolean).
    HRESULT STDMETHODCALLTYPE Quit(VARIANT* saveChanges, VARIANT* originalFormat,
                                   VARIANT* routeDocument) override {
        return Run(L"Quit", CallKind::Method,
                   {ArgText(saveChanges), ArgText(originalFormat), ArgText(routeDocument)}, [&] {
                       const VARIANT& save = Referenced(saveChanges);
                       const VARIANT& format = Referenced(originalFormat);
                       const VARIANT& route = Referenced(routeDocument);
                       if (!IsOmitted(save)) ReadLong(save);
                       if (!IsOmitted(format)) ReadLong(format);
                       if (!IsOmitted(route)) ReadBool(route);
                       ServerRequestExit(L"quit");
                   });
    }
    HRESULT STDMETHODCALLTYPE get_DisplayAlerts(long* value) override {
        return Run(L"DisplayAlerts", CallKind::Get, {}, [&] { *value = model_->displayAlerts; });
    }
    HRESULT STDMETHODCALLTYPE put_DisplayAlerts(long value) override {
        return Run(L"DisplayAlerts", CallKind::Put, {L"VT_I4 " + std::to_wstring(value)},
                   [&] { model_->displayAlerts = value; });
    }

private:
    Model model_;
};

}  // namespace

bool LoadInterfaces() {
    ITypeLib* library = LoadTypeLibrary();
    if (!library) return false;
    bool complete = true;
    for (const IID& iid : {kApplicationIid, kAddInsIid, kAddInIid, kBarsIid, kBarIid, kControlsIid,
                           kControlIid, kTemplateIid}) {
        ITypeInfo* info = InterfaceTypeInfo(library, iid);
        complete = complete && info;
        // Kept for the life of the server.
        Infos()[iid] = info;
    }
    library->Release();
    return complete;
}

ServedObject* NewApplication(std::shared_ptr<WordModel> model) {
    auto* application = new Application(model);
    // Word starts with its application object, and loads its start-up add-ins then.
    LoadStartupAddIns(*model);
    return application;
}

}  // namespace standin::word
