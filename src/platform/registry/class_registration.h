// Where the tool looks up class registrations (ProgIDs and classes). HKEY_CLASSES_ROOT lays the user's
// own classes over the machine's, and any program of the user writes those without elevation: an
// elevated tool that followed them would start or load whatever they name with administrator rights.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace cx {

// How the tool runs, as far as class registrations go.
struct ClassesLookup {
    // Elevated: only the machine's class registrations count (HKEY_LOCAL_MACHINE\Software\Classes),
    // never the user's own.
    bool elevated = true;
    // A 32-bit process on 64-bit Windows: a 64-bit program registers its class in the 64-bit view only.
    bool wow64 = false;
};

// A key of the classes root that a lookup trusts: `root` and the path below it.
struct ClassesKey {
    HKEY root = HKEY_CLASSES_ROOT;
    std::wstring path;
};

// `path` (relative to the classes root, no leading backslash) under HKEY_CLASSES_ROOT, or, elevated,
// under HKEY_LOCAL_MACHINE\Software\Classes.
ClassesKey TrustedClassesKey(const ClassesLookup& lookup, const std::wstring& path);

// The views to read, in order: the process's own first, so that a 32-bit program is found as on
// 32-bit Windows; under WOW64 then the 64-bit view.
std::vector<REGSAM> ClassesViews(const ClassesLookup& lookup);

// The default value of the trusted key `path` in `view` (0, KEY_WOW64_64KEY or KEY_WOW64_32KEY); empty
// when the key or the value is missing or not a string. Never raises.
std::wstring ReadClassesDefault(const ClassesLookup& lookup, const std::wstring& path, REGSAM view);

}  // namespace cx
