// Whether the installed Word is a 32-bit or a 64-bit program: a Word can load only an add-in library
// of its own bitness.
#pragma once

#include <windows.h>

#include <string>

#include "platform/registry/class_registration.h"
#include "platform/system/pe_image.h"

namespace cx {

// The command line that Word.Application's class (its "CLSID" under the ProgID) is registered with as
// LocalServer32, read in `view` (0, KEY_WOW64_64KEY or KEY_WOW64_32KEY) from the classes root that
// `lookup` trusts (elevated, the machine's: as FindWordClass, word_class.h); empty when either is
// missing. Never raises.
std::wstring ReadWordServerCommand(const ClassesLookup& lookup, REGSAM view);

// Word's bitness. On 32-bit Windows (`lookup.wow64` false) it is 32-bit without looking. Under WOW64
// it is the bitness of the program that Word's LocalServer32 names, in the 64-bit view first, then in
// the 32-bit view: the first view whose program exists and is a 32-bit or 64-bit image decides.
// Unknown when neither does; that, and what decided, go to the run's log. Never raises.
Bitness GetWordBitness(const ClassesLookup& lookup);

// The registry view (KEY_WOW64_32KEY or KEY_WOW64_64KEY) that a Word of `bitness` reads; 0 for Unknown.
REGSAM WordRegistryView(Bitness bitness);

// 32 or 64, for texts; 0 for Unknown.
int Bits(Bitness bitness);

}  // namespace cx
