#include "platform/registry/class_registration.h"

#include "platform/registry/registry_view.h"

namespace cx {

ClassesKey TrustedClassesKey(const ClassesLookup& lookup, const std::wstring& path) {
    // COM ignores the user's classes for elevated callers; so does the tool.
    if (lookup.elevated) return {HKEY_LOCAL_MACHINE, L"Software\\Classes\\" + path};
    return {HKEY_CLASSES_ROOT, path};
}

std::vector<REGSAM> ClassesViews(const ClassesLookup& lookup) {
    std::vector<REGSAM> views{0};
    if (lookup.wow64) views.push_back(KEY_WOW64_64KEY);
    return views;
}

std::wstring ReadClassesDefault(const ClassesLookup& lookup, const std::wstring& path, REGSAM view) {
    const ClassesKey key = TrustedClassesKey(lookup, path);
    return ReadRegStringInView(key.root, key.path, L"", L"", view);
}

}  // namespace cx
