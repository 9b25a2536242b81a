#include "common/scenario.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>

#include "common/journal.h"
#include "platform/text/utf8.h"

namespace standin {
namespace {

std::string_view Trim(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

bool SameKey(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        return lower(x) == lower(y);
    });
}

}  // namespace

std::optional<long> ParseNumber(std::string_view text) {
    const std::string owned(Trim(text));
    if (owned.empty()) return std::nullopt;
    char* end = nullptr;
    errno = 0;
    // strtoul accepts a sign and wraps it, so "-2" and "0xFFFFFFFE" both end up as -2.
    const unsigned long value = std::strtoul(owned.c_str(), &end, 0);
    if (errno != 0 || *end != '\0') return std::nullopt;
    return static_cast<long>(value);
}

Scenario Scenario::Parse(std::string_view text) {
    Scenario scenario;
    while (!text.empty()) {
        const auto newline = text.find('\n');
        std::string_view line = text.substr(0, newline);
        text = newline == std::string_view::npos ? std::string_view{} : text.substr(newline + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (Trim(line).empty() || Trim(line).front() == '#') continue;
        const auto equals = line.find('=');
        if (equals == std::string_view::npos || Trim(line.substr(0, equals)).empty()) {
            scenario.malformed_.emplace_back(line);
            continue;
        }
        scenario.entries_.push_back(
            {std::string(Trim(line.substr(0, equals))), std::string(line.substr(equals + 1))});
    }
    return scenario;
}

Scenario Scenario::Load() {
    const auto text = ReadSetting(L"scenario");
    return text ? Parse(*text) : Scenario{};
}

std::optional<std::wstring> Scenario::Get(std::string_view key) const {
    for (auto it = entries_.rbegin(); it != entries_.rend(); ++it) {
        if (SameKey(it->key, key)) return cx::DecodeUtf8(it->value);
    }
    return std::nullopt;
}

std::vector<std::wstring> Scenario::GetAll(std::string_view key) const {
    std::vector<std::wstring> values;
    for (const auto& entry : entries_) {
        if (SameKey(entry.key, key)) values.push_back(cx::DecodeUtf8(entry.value));
    }
    return values;
}

long Scenario::Number(std::string_view key, long fallback) const {
    for (auto it = entries_.rbegin(); it != entries_.rend(); ++it) {
        if (SameKey(it->key, key)) return ParseNumber(it->value).value_or(fallback);
    }
    return fallback;
}

bool Scenario::Flag(std::string_view key, bool fallback) const {
    const auto value = Get(key);
    if (!value) return fallback;
    return *value == L"1" || *value == L"true" || *value == L"yes";
}

void Scenario::ReportUnknown(std::initializer_list<std::string_view> known) const {
    for (const auto& line : malformed_) Journal(L"scenario-error " + cx::DecodeUtf8(line));
    for (const auto& entry : entries_) {
        const bool isKnown = std::any_of(known.begin(), known.end(),
                                         [&](std::string_view k) { return SameKey(k, entry.key); });
        if (!isKnown) Journal(L"scenario-error " + cx::DecodeUtf8(entry.key + "=" + entry.value));
    }
}

}  // namespace standin
