// A stand-in's scenario: "key=value" lines in "<own path>.scenario", written by a test before it starts
// the stand-in. Lines are UTF-8; blank lines and lines starting with '#' are skipped; a trailing CR is
// dropped; the key is trimmed of blanks, the value is taken as written. Keys may repeat (lists).
#pragma once

#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace standin {

class Scenario {
public:
    static Scenario Parse(std::string_view text);
    // The scenario file beside the running module; empty when there is none.
    static Scenario Load();

    // The last value given for `key`.
    std::optional<std::wstring> Get(std::string_view key) const;
    // Every value given for `key`, in file order.
    std::vector<std::wstring> GetAll(std::string_view key) const;
    // A number in C notation (decimal, 0x hex; negative allowed; hex up to 0xFFFFFFFF wraps to negative).
    long Number(std::string_view key, long fallback) const;
    bool Flag(std::string_view key, bool fallback) const;

    // Journals a "scenario-error" line for every line that is not key=value or whose key is not in
    // `known`, so that a mistyped test setting shows up instead of being silently ignored.
    void ReportUnknown(std::initializer_list<std::string_view> known) const;

private:
    struct Entry {
        std::string key;
        std::string value;
    };
    std::vector<Entry> entries_;
    std::vector<std::string> malformed_;
};

// Parses C-notation integers as Scenario::Number does; nullopt when `text` is not one.
std::optional<long> ParseNumber(std::string_view text);

}  // namespace standin
