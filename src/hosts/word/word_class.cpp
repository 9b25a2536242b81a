#include "hosts/word/word_class.h"

#include "hosts/word/word_app.h"
#include "platform/process/own_process.h"

namespace cx {

std::optional<WordClass> FindWordClass(const ClassesLookup& lookup) {
    if (!lookup.elevated) {
        WordClass word{{}, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER};
        if (FAILED(::CLSIDFromProgID(kWordProgId, &word.clsid))) return std::nullopt;
        return word;
    }
    const std::wstring progIdClass = std::wstring(kWordProgId) + L"\\CLSID";
    for (const REGSAM view : ClassesViews(lookup)) {
        const std::wstring text = ReadClassesDefault(lookup, progIdClass, view);
        if (text.empty()) continue;
        // IIDFromString reads the braced form only; CLSIDFromString would take other text for a ProgID
        // and look that up in the merged classes again.
        WordClass word;
        if (FAILED(::IIDFromString(text.c_str(), &word.clsid))) return std::nullopt;
        return word;
    }
    return std::nullopt;
}

std::optional<WordClass> FindWordClass() {
    return FindWordClass(OwnClassesLookup());
}

}  // namespace cx
