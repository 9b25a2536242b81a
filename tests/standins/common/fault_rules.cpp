#include "common/fault_rules.h"

#include <cstdio>

#include "common/journal.h"
#include "common/scenario.h"
#include "platform/text/utf8.h"

namespace standin {
namespace {

struct FaultRule {
    std::wstring qualifier;  // class or label; empty matches any object
    std::wstring member;
    std::optional<CallKind> kind;
    HRESULT code = E_FAIL;
    std::optional<std::wstring> description;
    bool hang = false;
};

std::vector<FaultRule>& Rules() {
    static std::vector<FaultRule> rules;
    return rules;
}

DWORD& HangLimitMs() {
    static DWORD limit = 60000;
    return limit;
}

[[noreturn]] void Hang(const std::wstring& labelMember) {
    Journal(labelMember + L" -> hang");
    const std::wstring stopFile = OwnModulePath() + L".stop";
    const ULONGLONG until = ::GetTickCount64() + HangLimitMs();
    while (::GetFileAttributesW(stopFile.c_str()) == INVALID_FILE_ATTRIBUTES) {
        if (::GetTickCount64() >= until) {
            Journal(L"exit reason=hang-timeout");
            ::ExitProcess(0);
        }
        ::Sleep(50);
    }
    Journal(L"exit reason=hang-stopfile");
    ::ExitProcess(0);
}

std::wstring& Source() {
    static std::wstring source;
    return source;
}

std::wstring Trimmed(const std::wstring& text) {
    const auto first = text.find_first_not_of(L" \t");
    if (first == std::wstring::npos) return {};
    return text.substr(first, text.find_last_not_of(L" \t") - first + 1);
}

std::optional<CallKind> KindNamed(const std::wstring& word) {
    if (SameName(word, L"method")) return CallKind::Method;
    if (SameName(word, L"get")) return CallKind::Get;
    if (SameName(word, L"put")) return CallKind::Put;
    return std::nullopt;
}

FaultRule ParseRule(const std::wstring& text) {
    FaultRule rule;
    std::wstring head = text;
    if (const auto colon = text.find(L':'); colon != std::wstring::npos) {
        head = text.substr(0, colon);
        rule.description = text.substr(colon + 1);
    }
    if (const auto at = head.find(L'@'); at != std::wstring::npos) {
        const std::wstring after = Trimmed(head.substr(at + 1));
        if (SameName(after, L"hang")) {
            rule.hang = true;
        } else if (const auto code = ParseNumber(cx::EncodeUtf8(after))) {
            rule.code = *code;
        }
        head = head.substr(0, at);
    }
    head = Trimmed(head);
    // The kind is an optional last word; labels themselves may hold blanks.
    if (const auto blank = head.find_last_of(L' '); blank != std::wstring::npos) {
        if (const auto kind = KindNamed(head.substr(blank + 1))) {
            rule.kind = kind;
            head = Trimmed(head.substr(0, blank));
        }
    }
    // Member names hold no dots, labels may.
    if (const auto dot = head.find_last_of(L'.'); dot != std::wstring::npos) {
        rule.qualifier = head.substr(0, dot);
        rule.member = head.substr(dot + 1);
    } else {
        rule.member = head;
    }
    return rule;
}

}  // namespace

bool SameName(const std::wstring& a, const std::wstring& b) {
    return ::CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                                  static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

void SetFaultRules(const std::vector<std::wstring>& rules, DWORD hangLimitMs) {
    HangLimitMs() = hangLimitMs;
    Rules().clear();
    for (const auto& text : rules) Rules().push_back(ParseRule(text));
}

std::optional<Fault> RuleFault(const std::wstring& className, const std::wstring& label,
                               const std::wstring& member, CallKind kind) {
    for (const auto& rule : Rules()) {
        const bool target =
            SameName(rule.member, member) && (rule.qualifier.empty() || SameName(rule.qualifier, className) ||
                                              SameName(rule.qualifier, label));
        if (!target || (rule.kind && *rule.kind != kind)) continue;
        if (rule.hang) Hang((label.empty() ? className : label) + L"." + member);
        return Fault{rule.code, rule.description};
    }
    return std::nullopt;
}

void SetExceptionSource(std::wstring source) {
    Source() = std::move(source);
}

const std::wstring& ExceptionSource() {
    return Source();
}

void JournalFailure(const std::wstring& labelMember, const Fault& fault) {
    if (fault.description) {
        Journal(labelMember + L" -> exception " + HexCode(fault.code) + L" \"" + *fault.description + L"\"");
    } else {
        Journal(labelMember + L" -> error " + HexCode(fault.code));
    }
}

std::wstring HexCode(HRESULT code) {
    wchar_t text[16];
    std::swprintf(text, 16, L"0x%08lX", static_cast<unsigned long>(code));
    return text;
}

}  // namespace standin
