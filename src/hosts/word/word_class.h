// Which class the tool activates as Word, and how: the one decision between the Word the machine has
// and a "Word.Application" that a program of the user registered for the user alone.
#pragma once

#include <objbase.h>

#include <optional>

#include "platform/registry/class_registration.h"

namespace cx {

// Word's class as the tool attaches to it and starts it.
struct WordClass {
    CLSID clsid{};
    // The server kinds CoCreateInstance may use.
    DWORD context = CLSCTX_LOCAL_SERVER;
};

// Elevated: the class that "Word.Application\CLSID" names among the machine's classes (the process's
// own view first, under WOW64 then the 64-bit view), as a local server only, so that no library is
// loaded into the elevated tool. Not elevated: CLSIDFromProgID, in-process or local server.
// nullopt when no class is registered or its text is no class identifier. Never raises.
std::optional<WordClass> FindWordClass(const ClassesLookup& lookup);

// FindWordClass for this process, as it runs.
std::optional<WordClass> FindWordClass();

}  // namespace cx
