#include "actions/tool_step.h"

#include <algorithm>

#include "platform/errors.h"

namespace cx::msi {
namespace {

constexpr wchar_t kFieldSeparator = L'|';

[[noreturn]] void Malformed(const std::wstring& reason) {
    throw Exception(L"Malformed step description: " + reason);
}

// Decimal digits with an optional minus sign, within [minimum, maximum]; nullopt otherwise.
std::optional<std::int64_t> ParseNumber(std::wstring_view text, std::int64_t minimum, std::int64_t maximum) {
    const bool negative = !text.empty() && text.front() == L'-';
    if (negative) text.remove_prefix(1);
    // More digits than any value in range can have would overflow below.
    if (text.empty() || text.size() > 10) return std::nullopt;
    std::int64_t value = 0;
    for (const wchar_t c : text) {
        if (c < L'0' || c > L'9') return std::nullopt;
        value = value * 10 + (c - L'0');
    }
    if (negative) value = -value;
    if (value < minimum || value > maximum) return std::nullopt;
    return value;
}

// "C:\..." or "\\server\...": a path that names one file wherever the process runs.
bool IsAbsolutePath(std::wstring_view path) {
    const bool letter =
        !path.empty() && ((path[0] >= L'A' && path[0] <= L'Z') || (path[0] >= L'a' && path[0] <= L'z'));
    const bool drive = letter && path.size() >= 3 && path[1] == L':' && path[2] == L'\\';
    return drive || (path.size() > 2 && path[0] == L'\\' && path[1] == L'\\');
}

std::vector<std::int32_t> ParseCodes(std::wstring_view text) {
    std::vector<std::int32_t> codes;
    for (;;) {
        const std::size_t comma = text.find(L',');
        const auto code = ParseNumber(text.substr(0, comma), INT32_MIN, INT32_MAX);
        if (!code) Malformed(L"\"accept\" takes exit codes separated by commas, or \"any\"");
        codes.push_back(static_cast<std::int32_t>(*code));
        if (comma == std::wstring_view::npos) return codes;
        text.remove_prefix(comma + 1);
    }
}

void SetOnce(std::optional<std::wstring>& slot, std::wstring_view name, std::wstring_view value) {
    if (slot) Malformed(L"field \"" + std::wstring(name) + L"\" given twice");
    slot = std::wstring(value);
}

}  // namespace

ToolStep ParseToolStep(std::wstring_view data) {
    // What an immediate action gets: CustomActionData reaches deferred and rollback actions only.
    if (data.empty()) Malformed(L"empty (is the action deferred?)");
    std::optional<std::wstring> tool, run, accept, probe, limit, log;
    const std::pair<std::wstring_view, std::optional<std::wstring>*> fields[] = {
        {L"tool", &tool},   {L"run", &run},     {L"accept", &accept},
        {L"probe", &probe}, {L"limit", &limit}, {L"log", &log},
    };
    for (std::size_t begin = 0; begin <= data.size();) {
        const std::size_t end = std::min(data.find(kFieldSeparator, begin), data.size());
        const std::wstring_view field = data.substr(begin, end - begin);
        const std::size_t equals = field.find(L'=');
        const std::wstring_view name = field.substr(0, equals);
        const auto known = std::find_if(std::begin(fields), std::end(fields),
                                        [&](const auto& entry) { return entry.first == name; });
        if (equals == std::wstring_view::npos || known == std::end(fields)) {
            Malformed(L"unknown field \"" + std::wstring(field) + L"\"");
        }
        SetOnce(*known->second, name, field.substr(equals + 1));
        begin = end + 1;
    }

    ToolStep step;
    if (!tool || !IsAbsolutePath(*tool)) Malformed(L"\"tool\" must be the tool's full path");
    if (!run || run->empty()) Malformed(L"\"run\" must name the step's switches");
    if (!accept) Malformed(L"\"accept\" is missing");
    step.tool = *tool;
    step.run = *run;
    step.acceptAny = *accept == L"any";
    if (!step.acceptAny) step.accepted = ParseCodes(*accept);
    if (probe) {
        if (probe->empty()) Malformed(L"\"probe\" is empty");
        step.probe = *probe;
    }
    if (limit) {
        const auto seconds = ParseNumber(*limit, 1, kMaxLimitSeconds);
        if (!seconds) Malformed(L"\"limit\" takes seconds from 1 to 86400");
        step.limitSeconds = static_cast<std::uint32_t>(*seconds);
    }
    if (log) step.log = *log;
    return step;
}

std::wstring ToolCommandLine(const ToolStep& step, std::wstring_view switches) {
    std::wstring line = L"\"" + step.tool + L"\" /qu" + std::to_wstring(step.limitSeconds);
    if (!step.log.empty()) line += L" \"/lo" + step.log + L"\"";
    line += L" ";
    line += switches;
    return line;
}

AfterProbe DecideAfterProbe(const ToolStep& step, std::optional<std::int32_t> probeCode) {
    if (probeCode == 0) return AfterProbe::kRun;
    if (probeCode == 1) return AfterProbe::kSkip;
    return step.acceptAny ? AfterProbe::kRun : AfterProbe::kFail;
}

bool IsAccepted(const ToolStep& step, std::int32_t code) {
    return step.acceptAny ||
           std::find(step.accepted.begin(), step.accepted.end(), code) != step.accepted.end();
}

std::wstring AcceptedText(const ToolStep& step) {
    if (step.acceptAny) return L"any";
    std::wstring text;
    for (const std::int32_t code : step.accepted) {
        if (!text.empty()) text += L",";
        text += std::to_wstring(code);
    }
    return text;
}

}  // namespace cx::msi
