// The builds of the Word add-in library that the product ships beside the tool: "CVWordAddin2.dll" for
// a 32-bit Word and "x64\CVWordAddin2.dll" for a 64-bit one (each with its own dependencies beside
// it). Both register the same ProgID and class.
#pragma once

#include <optional>
#include <string>

#include "platform/system/pe_image.h"

namespace cx {

inline constexpr wchar_t kWordAddinLibrary64[] = L"x64\\CVWordAddin2.dll";

struct AddinLibrary {
    // Relative to the tool's folder, as error texts name it.
    std::wstring name;
    Bitness bitness = Bitness::Unknown;
};

struct AddinLibraries {
    std::optional<AddinLibrary> bits32;
    std::optional<AddinLibrary> bits64;

    const std::optional<AddinLibrary>& For(Bitness bitness) const {
        return bitness == Bitness::Bits64 ? bits64 : bits32;
    }
};

// The shipped libraries that Windows can run here, each classified by its PE header (not by its name
// or folder), the file beside the tool looked at first: the first 32-bit and the first 64-bit one. A
// 64-bit library counts only under WOW64 (`wow64`): 32-bit Windows cannot run it. Every file passed
// over (not a 32-bit or 64-bit image, a second one of a bitness, 64-bit on 32-bit Windows) goes to the
// run's log. Never raises.
AddinLibraries FindAddinLibraries(bool wow64);

// The library's full path: the tool's folder and its name.
std::wstring AddinLibraryPath(const AddinLibrary& library);

}  // namespace cx
