// libFuzzer target: the catalogue reader, its search and the header fields over arbitrary bytes.
// Beyond "no crash": whatever is found lies inside the bytes, and in a catalogue whose keys are
// strictly ascending every key is found with its own translation.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "i18n/mo_catalogue.h"
#include "i18n/mo_header.h"
#include "platform/errors.h"

namespace {

void Require(bool condition) {
    if (!condition) std::abort();
}

bool Inside(std::string_view text, const std::uint8_t* data, std::size_t size) {
    const auto* begin = reinterpret_cast<const char*>(data);
    return text.data() >= begin && text.data() + text.size() <= begin + size;
}

void Search(const cx::MoCatalogue& catalogue, const std::uint8_t* data, std::size_t size) {
    std::vector<std::string_view> sources;
    for (std::uint32_t i = 0; i < catalogue.Count(); ++i) sources.push_back(catalogue.SourceAt(i));
    const bool ascending =
        std::adjacent_find(sources.begin(), sources.end(), std::greater_equal<>()) == sources.end();
    for (std::uint32_t i = 0; i < catalogue.Count(); ++i) {
        const std::string_view key = sources[i];
        const auto result = catalogue.Lookup(key);
        Require(result.found ? Inside(result.text, data, size) : result.text.data() == key.data());
        if (!ascending) continue;
        Require(result.found && result.text == catalogue.TranslationAt(i));
        // Keys that are not in the table, next to ones that are, must not be found.
        for (const std::string& probe :
             {std::string(key.substr(0, key.size() / 2)), std::string(key) + '\0'}) {
            const bool present = std::binary_search(sources.begin(), sources.end(), probe);
            Require(catalogue.Lookup(probe).found == present);
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    Require(Inside(cx::GetHeaderField(bytes, "Content-Type"), data, size) ||
            cx::GetHeaderField(bytes, "Content-Type").empty());
    try {
        const cx::MoCatalogue catalogue(data, size, L"fuzz.mo");
        const std::string_view header = catalogue.Header();
        const std::string_view charset = cx::GetHeaderField(header, "content-type");
        Require(charset.empty() || Inside(charset, data, size));
        Search(catalogue, data, size);
    } catch (const cx::EGGIOError&) {
        // Rejected as invalid: the expected outcome for most inputs.
    }
    return 0;
}
