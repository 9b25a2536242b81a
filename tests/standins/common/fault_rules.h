// Failures on demand, shared by the stand-in servers' objects: the rules a scenario gives, and the
// journal lines that tell how a call failed.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace standin {

// Thrown by member handlers. With a description the call fails as an exception (DISP_E_EXCEPTION
// carrying `code` and the description; an empty one is left out); without one the call fails with
// `code` itself where the server's dispatch allows it.
struct Fault {
    HRESULT code;
    std::optional<std::wstring> description;
};

enum class CallKind { Method, Get, Put };

// Failure rules from scenario lines "fail=<target>[ <kind>][@<hresult>|@hang][:<description>]":
//   <target>  Member, Class.Member or Label.Member (case-insensitive), e.g. COMAddIns, Application.COMAddIns,
//             Control.Delete, Control#5.Delete
//   <kind>    get, put or method: only calls of that kind fail (default: every kind)
//   @hresult  the failure code, C notation (default 0x80004005)
//   @hang     the call is never answered, as by a program stuck in a dialog nobody sees: the member
//             journals "<label>.<member> -> hang" and blocks its thread (no messages pumped) until
//             "<exe>.stop" appears or `hangLimitMs` passed, then the process leaves with
//             "exit reason=hang-stopfile" or "exit reason=hang-timeout"
//   :text     present: the call fails as an exception with that description (empty text: none)
//             absent:  the call fails with the failure code itself
// A rule applies once the call is journaled and its arguments are read.
void SetFaultRules(const std::vector<std::wstring>& rules, DWORD hangLimitMs = 60000);
// The first rule that matches a call, as the fault to raise; does not return for a hanging one.
std::optional<Fault> RuleFault(const std::wstring& className, const std::wstring& label,
                               const std::wstring& member, CallKind kind);

// The source named in every exception.
void SetExceptionSource(std::wstring source);
const std::wstring& ExceptionSource();

// Journals how a call of `<label>.<member>` failed:
//   <label>.<member> -> exception 0x<scode> "<description>"   a fault with a description
//   <label>.<member> -> error 0x<hresult>                      a fault without one, or a refused call
void JournalFailure(const std::wstring& labelMember, const Fault& fault);

// "0x" and eight upper-case hexadecimal digits.
std::wstring HexCode(HRESULT code);
// Names compared as COM compares member names: ordinal, ignoring case.
bool SameName(const std::wstring& a, const std::wstring& b);

}  // namespace standin
