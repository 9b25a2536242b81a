// A small automation object framework for the stand-in servers: objects answer IDispatch by member
// name (case-insensitive, as COM clients expect), journal every call with its arguments in declared
// order, and fail on demand as a scenario asks.
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
#include <optional>
#include <string>
#include <vector>

namespace standin {

// Thrown by member handlers. With a description the call fails with DISP_E_EXCEPTION and an EXCEPINFO
// holding `code` as scode and the description (an empty one is left out); without one Invoke returns
// `code` itself.
struct Fault {
    HRESULT code;
    std::optional<std::wstring> description;
};

// One call of a member.
struct Call {
    WORD flags;
    std::vector<VARIANT*> args;  // declared order; for a property put the new value is last
    VARIANT* result;             // VT_EMPTY on entry, never null
};

using Handler = std::function<void(Call&)>;

// Failure rules from scenario lines "fail=<target>[ <kind>][@<hresult>][:<description>]":
//   <target>  Member, Class.Member or Label.Member (case-insensitive), e.g. COMAddIns, Application.COMAddIns,
//             Control.Delete, Control#5.Delete
//   <kind>    get, put or method: only calls of that kind fail (default: every kind)
//   @hresult  the failure code, C notation (default 0x80004005)
//   :text     present: DISP_E_EXCEPTION with that description (empty text: no description)
//             absent:  Invoke returns the failure code itself
// The rule is applied after the call is journaled and its arguments are checked.
void SetFaultRules(const std::vector<std::wstring>& rules);
// The EXCEPINFO source of every failure.
void SetExceptionSource(std::wstring source);

class DispatchObject : public IDispatch, public IExternalConnection {
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
    // IExternalConnection: answered only after TrackConnections, see there.
    DWORD STDMETHODCALLTYPE AddConnection(DWORD type, DWORD reserved) override;
    DWORD STDMETHODCALLTYPE ReleaseConnection(DWORD type, DWORD reserved, BOOL lastReleaseCloses) override;

    const std::wstring& Label() const { return label_; }
    // The object's text inside a journaled argument; the label unless the object has state worth showing.
    virtual std::wstring Describe() const { return label_; }

    // Answer IExternalConnection and report the count of strong external connections after each change,
    // so that a server can tell when the clients of a published object are gone.
    void TrackConnections(std::function<void(long)> onChange) { onConnections_ = std::move(onChange); }
    long Connections() const { return connections_; }

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
    std::function<void(long)> onConnections_;
    long connections_ = 0;
};

// Hands a new object to the caller as the call's result; takes over the reference.
void ReturnObject(Call& call, DispatchObject* object);

}  // namespace standin
