// The late-bound call layer against an in-process object that records what reaches Invoke: argument
// order and forms, the put form, and how failures become exceptions and messages.
#include "platform/com/automation.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/errors.h"

namespace cx {
namespace {

// Answers GetIDsOfNames from a fixed list (DISPID = position + 1) and hands Invoke to the test.
class FakeObject : public IDispatch {
public:
    using Handler = std::function<HRESULT(const std::wstring& member, WORD flags, DISPPARAMS* params,
                                          VARIANT* result, EXCEPINFO* exception)>;
    explicit FakeObject(Handler handler) : handler_(std::move(handler)) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (iid != IID_IUnknown && iid != IID_IDispatch) return E_NOINTERFACE;
        *out = static_cast<IDispatch*>(this);
        return S_OK;
    }
    // Lives on the test's stack.
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT, LCID, DISPID* ids) override {
        for (std::size_t i = 0; i < kNames.size(); ++i) {
            if (kNames[i] == names[0]) {
                *ids = static_cast<DISPID>(i + 1);
                return S_OK;
            }
        }
        *ids = DISPID_UNKNOWN;
        return DISP_E_UNKNOWNNAME;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                     EXCEPINFO* exception, UINT*) override {
        return handler_(kNames[static_cast<std::size_t>(id - 1)], flags, params, result, exception);
    }

private:
    const std::vector<std::wstring> kNames = {L"Quit", L"Connect", L"Visible", L"Fail", L"Parent"};
    Handler handler_;
};

TEST(Automation, ArgumentsKeepTheirOrderAndByReferenceReachesTheCallersVariant) {
    Variant saveChanges = Variant::Int(0);
    Variant omitted = Variant::Missing();
    FakeObject object([](const std::wstring& member, WORD flags, DISPPARAMS* params, VARIANT*, EXCEPINFO*) {
        EXPECT_EQ(member, L"Quit");
        EXPECT_EQ(flags, DISPATCH_METHOD);
        EXPECT_EQ(params->cNamedArgs, 0u);
        EXPECT_EQ(params->cArgs, 3u);
        if (params->cArgs != 3) return E_INVALIDARG;
        // rgvarg holds the last argument first. A reference points at the variant that holds the value.
        EXPECT_EQ(params->rgvarg[2].vt, VT_VARIANT | VT_BYREF);
        EXPECT_EQ(params->rgvarg[2].pvarVal->vt, VT_I4);
        EXPECT_EQ(params->rgvarg[2].pvarVal->lVal, 0);
        params->rgvarg[2].pvarVal->lVal = 7;
        EXPECT_EQ(params->rgvarg[1].vt, VT_VARIANT | VT_BYREF);
        EXPECT_EQ(params->rgvarg[1].pvarVal->vt, VT_ERROR);
        EXPECT_EQ(params->rgvarg[1].pvarVal->scode, DISP_E_PARAMNOTFOUND);
        EXPECT_EQ(params->rgvarg[0].vt, VT_BOOL);
        EXPECT_EQ(params->rgvarg[0].boolVal, VARIANT_FALSE);
        return S_OK;
    });
    const Variant result =
        CallMethod(&object, L"Quit",
                   {AutomationArg::ByRef(saveChanges), AutomationArg::ByRef(omitted), Variant::Bool(false)});
    EXPECT_EQ(result.vt(), VT_EMPTY);
    EXPECT_EQ(saveChanges.vt(), VT_I4);
    EXPECT_EQ(saveChanges.get()->lVal, 7);
}

TEST(Automation, APropertyWriteUsesTheNamedPutArgument) {
    std::vector<WORD> seen;
    FakeObject object([&](const std::wstring&, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO*) {
        seen.push_back(flags);
        EXPECT_EQ(result, nullptr);
        EXPECT_EQ(params->cArgs, 1u);
        EXPECT_EQ(params->cNamedArgs, 1u);
        if (params->cNamedArgs != 1) return DISP_E_PARAMNOTOPTIONAL;
        EXPECT_EQ(params->rgdispidNamedArgs[0], DISPID_PROPERTYPUT);
        return S_OK;
    });
    PutProperty(&object, L"Connect", Variant::Bool(true));
    // An object is written by reference.
    PutProperty(&object, L"Parent", Variant::Dispatch(ComPtr<IDispatch>::Share(&object)));
    EXPECT_EQ(seen, (std::vector<WORD>{DISPATCH_PROPERTYPUT, DISPATCH_PROPERTYPUTREF}));
}

TEST(Automation, APropertyReadReturnsTheValue) {
    FakeObject object([](const std::wstring&, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO*) {
        EXPECT_EQ(flags, DISPATCH_METHOD | DISPATCH_PROPERTYGET);
        EXPECT_EQ(params->cArgs, 0u);
        result->vt = VT_BOOL;
        result->boolVal = VARIANT_TRUE;
        return S_OK;
    });
    EXPECT_TRUE(AsBool(GetProperty(&object, L"Visible")));
}

HRESULT RaiseDescribed(EXCEPINFO* exception, HRESULT code, const wchar_t* description) {
    exception->scode = code;
    exception->bstrSource = ::SysAllocString(L"Microsoft Word");
    exception->bstrDescription = description ? ::SysAllocString(description) : nullptr;
    return DISP_E_EXCEPTION;
}

TEST(Automation, TheServersDescriptionBecomesTheMessage) {
    FakeObject object([](const std::wstring&, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO* exception) {
        return RaiseDescribed(exception, static_cast<HRESULT>(0x800A1234), L"The document is locked. \r\n");
    });
    try {
        CallMethod(&object, L"Fail");
        FAIL() << "no exception";
    } catch (const EOleException& error) {
        EXPECT_EQ(error.Message(), L"The document is locked");
        EXPECT_EQ(static_cast<std::uint32_t>(error.ErrorCode()), 0x800A1234u);
        EXPECT_EQ(error.Source(), L"Microsoft Word");
    }
}

TEST(Automation, WithoutADescriptionTheMessageIsTheCodes) {
    FakeObject described([](const std::wstring&, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO* exception) {
        return RaiseDescribed(exception, static_cast<HRESULT>(0x8004C0DE), nullptr);
    });
    EXPECT_THROW(
        {
            try {
                CallMethod(&described, L"Fail");
            } catch (const EOleException& error) {
                EXPECT_EQ(error.Message(), L"OLE error 8004c0de");
                throw;
            }
        },
        EOleException);
    // A failure the server did not describe at all: the code itself.
    FakeObject plain([](const std::wstring&, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*) {
        return static_cast<HRESULT>(0x8004C0DF);
    });
    try {
        CallMethod(&plain, L"Fail");
        FAIL() << "no exception";
    } catch (const EOleException&) {
        FAIL() << "not described by the server";
    } catch (const EOleSysError& error) {
        EXPECT_EQ(error.Message(), L"OLE error 8004c0df");
    }
    try {
        CallMethod(&plain, L"NoSuchMember");
        FAIL() << "no exception";
    } catch (const EOleSysError& error) {
        EXPECT_EQ(error.ErrorCode(), DISP_E_UNKNOWNNAME);
    }
}

TEST(Automation, ResultConversions) {
    FakeObject object([](const std::wstring&, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*) { return S_OK; });
    Variant empty;
    Variant nullObject = Variant::Dispatch(nullptr);
    EXPECT_FALSE(AsOptionalObject(empty));
    EXPECT_FALSE(AsOptionalObject(nullObject));
    EXPECT_EQ(AsOptionalObject(Variant::Dispatch(ComPtr<IDispatch>::Share(&object))).get(), &object);
    EXPECT_THROW(AsOptionalObject(Variant::Int(1)), EOleSysError);
    EXPECT_THROW(AsObject(empty), EOleSysError);

    EXPECT_EQ(AsInt(Variant::Text(L"42")), 42);
    EXPECT_EQ(AsText(Variant::Int(42)), L"42");
    EXPECT_EQ(AsText(Variant::Text(L"Ä\u4E2D")), L"Ä\u4E2D");
    EXPECT_FALSE(AsBool(Variant::Int(0)));
    EXPECT_TRUE(AsBool(Variant::Int(-1)));
    try {
        AsInt(Variant::Text(L"forty-two"));
        FAIL() << "no exception";
    } catch (const EOleSysError& error) {
        EXPECT_EQ(error.ErrorCode(), DISP_E_TYPEMISMATCH);
    }
}

}  // namespace
}  // namespace cx
