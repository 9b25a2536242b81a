#include "hosts/word/word_automation.h"

#include "platform/com/automation.h"
#include "platform/com/call_bound.h"
#include "platform/errors.h"
#include "platform/run/system_error.h"
#include "platform/text/res_string.h"
#include "platform/text/win_text.h"

namespace cx {
namespace {

// The assertion's text names this check as the product has always reported it.
constexpr wchar_t kAssertSource[] = L"CVAddin\\Word\\OleUtilsImpl";
constexpr int kAssertLine = 488;

// Word's word for "do not save changes".
constexpr LONG kDoNotSaveChanges = 0;

char AsciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Fetched anew for every access: no collection is kept across calls that may change the list.
ComPtr<IDispatch> ComAddIns(IDispatch* word) {
    return AsObject(GetProperty(word, L"COMAddIns"));
}

// COMAddIns.Item takes its index by reference (a VARIANT* in Word's interface).
ComPtr<IDispatch> ComAddInAt(IDispatch* word, LONG index) {
    Variant position = Variant::Int(index);
    return AsObject(CallMethod(ComAddIns(word).get(), L"Item", {AutomationArg::ByRef(position)}));
}

ComPtr<IDispatch> Controls(IDispatch* bar) {
    return AsObject(GetProperty(bar, L"Controls"));
}

}  // namespace

bool SameProgId(std::wstring_view a, std::wstring_view b) {
    const std::string left = ToAnsi(a);
    const std::string right = ToAnsi(b);
    if (left.size() != right.size()) return false;
    for (std::size_t i = 0; i < left.size(); ++i) {
        if (AsciiLower(left[i]) != AsciiLower(right[i])) return false;
    }
    return true;
}

void SetComAddinConnected(IDispatch* word, std::wstring_view progId, bool connect) {
    if (!word) RaiseAssertion(kAssertSource, kAssertLine);
    const LONG count = AsInt(GetProperty(ComAddIns(word).get(), L"Count"));
    for (LONG i = 1; i <= count; ++i) {
        if (!SameProgId(AsText(GetProperty(ComAddInAt(word, i).get(), L"ProgId")), progId)) continue;
        const std::uint32_t givenUpBefore = GivenUpCalls();
        try {
            DeleteCommandBar(word, kLegacyToolbarName);
            PutProperty(ComAddInAt(word, i).get(), L"Connect", Variant::Bool(connect));
        } catch (const Exception&) {
            // Absorbed: the toolbar and the connection are Word's state; the caller's registration of
            // the library stands either way. A Word that stopped answering is another matter.
            if (GivenUpCalls() != givenUpBefore) throw;
        }
        return;
    }
}

void DeleteCommandBar(IDispatch* word, std::wstring_view barName) {
    const ComPtr<IDispatch> bars = AsObject(GetProperty(word, L"CommandBars"));
    const ComPtr<IDispatch> bar =
        AsOptionalObject(GetProperty(bars.get(), L"Item", {Variant::Text(barName)}));
    // Saved only when this run changed it: a needless save can fail (another Word holds the template)
    // and, in SetComAddinConnected, cost the connection.
    if (!bar) return;
    const LONG count = AsInt(GetProperty(Controls(bar.get()).get(), L"Count"));
    // From the last: deleting a control renumbers those after it.
    for (LONG k = count; k >= 1; --k) {
        const ComPtr<IDispatch> control =
            AsObject(GetProperty(Controls(bar.get()).get(), L"Item", {Variant::Int(k)}));
        CallMethod(control.get(), L"Delete", {Variant::Bool(false)});
    }
    CallMethod(bar.get(), L"Delete");
    CallMethod(AsObject(GetProperty(word, L"NormalTemplate")).get(), L"Save");
}

// Quit declares all three as optional VARIANT*: the two left out go as references to the standard
// "omitted" value.
void QuitWordApp(IDispatch* word) {
    Variant saveChanges = Variant::Int(kDoNotSaveChanges);
    Variant originalFormat = Variant::Missing();
    Variant routeDocument = Variant::Missing();
    CallMethod(word, L"Quit",
               {AutomationArg::ByRef(saveChanges), AutomationArg::ByRef(originalFormat),
                AutomationArg::ByRef(routeDocument)});
}

}  // namespace cx
