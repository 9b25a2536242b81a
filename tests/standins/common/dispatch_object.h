// A small automation object framework for the stand-in servers: objects answer IDispatch by member
// name (case-insensitive, as COM clients expect), journal every call with its arguments in declared
// order, and fail on demand as a scenario asks (common/fault_rules.h).
//
// Journal lines written here (see variant_text.h for an argument's text):
//   <label>.<Member> <kind>[ <arg>, <arg>, ...]   every call, before it runs; <kind> is method, get,
//                                                 method|get, put or putref (the Invoke flags)
//   <label>.<Member> -> exception 0x<scode> "<description>"   the call failed with DISP_E_EXCEPTION
//   <label>.<Member> -> error 0x<hresult>         the call failed with that HRESULT itself
//   <label>.<Name> unknown-name                   GetIDsOfNames for a name the object lacks
//   <label>.#<dispid> unknown-dispid              Invoke with a dispatch identifier it never handed out
// Hexadecimal digits are upper case, eight of them.
#pragma once

#include <windows.h>

#include <oaidl.h>

#include <functional>
#include <string>
#include <vector>

#include "common/fault_rules.h"
#include "common/served_object.h"

namespace standin {

// One call of a member.
struct Call {
    WORD flags;
    std::vector<VARIANT*> args;  // declared order; for a property put the new value is last
    VARIANT* result;             // VT_EMPTY on entry, never null
};

using Handler = std::function<void(Call&)>;

// Invoke flags as journal text: method, get, method|get, put or putref.
std::wstring FlagsText(WORD flags);

class DispatchObject : public IDispatch, public ServedObject {
public:
    DispatchObject(const DispatchObject&) = delete;
    DispatchObject& operator=(const DispatchObject&) = delete;

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    // IDispatch
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID lcid,
                                            DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* exception, UINT* argError) override;

    const std::wstring& Label() const { return label_; }
    // The object's text inside a journaled argument; the label unless the object has state worth showing.
    virtual std::wstring Describe() const { return label_; }

    // The live stand-in object `pointer` is (in this process), or nullptr for null and foreign pointers.
    static DispatchObject* Find(const void* pointer);

protected:
    DispatchObject(std::wstring className, std::wstring label);
    virtual ~DispatchObject();

    // A method; called with DISPATCH_METHOD (alone or with DISPATCH_PROPERTYGET).
    void AddMethod(std::wstring name, int minArgs, int maxArgs, Handler handler);
    // A property read, optionally with index arguments; called with DISPATCH_PROPERTYGET (alone or with
    // DISPATCH_METHOD).
    void AddGetter(std::wstring name, Handler handler, int minArgs = 0, int maxArgs = 0);
    // A property write of one value; called with DISPATCH_PROPERTYPUT or DISPATCH_PROPERTYPUTREF and the
    // named argument DISPID_PROPERTYPUT.
    void AddSetter(std::wstring name, Handler handler);
    // QueryInterface also answers `iid` with this object's IDispatch (a dispatch-only interface).
    void AlsoAnswer(const IID& iid) { extraIids_.push_back(iid); }

private:
    struct Member {
        std::wstring name;
        int minArgs = 0;
        int maxArgs = 0;
        Handler method;
        Handler getter;
        Handler setter;
    };
    Member& MemberNamed(const std::wstring& name);
    HRESULT Dispatch(Member& member, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception);

    LONG references_ = 1;
    std::wstring className_;
    std::wstring label_;
    std::vector<Member> members_;
    std::vector<IID> extraIids_;
};

// Hands a new object to the caller as the call's result; takes over the reference.
void ReturnObject(Call& call, DispatchObject* object);

}  // namespace standin
