#include "hosts/word/addin_libraries.h"

#include "hosts/word/word_addin.h"
#include "platform/run/run_log.h"
#include "platform/system/app_paths.h"
#include "platform/system/file_system.h"
#include "platform/system/image_file.h"

namespace cx {
namespace {

void LogPassedOver(const std::wstring& path, std::wstring_view why) {
    if (IsRunLogOpen()) LogStep(L"add-in library \"" + path + L"\" not used: " + std::wstring(why));
}

}  // namespace

AddinLibraries FindAddinLibraries(bool wow64) {
    AddinLibraries found;
    for (const wchar_t* name : {kWordAddinLibrary, kWordAddinLibrary64}) {
        const AddinLibrary library{name, Bitness::Unknown};
        const std::wstring path = AddinLibraryPath(library);
        if (!IsExistingFile(path)) continue;
        const Bitness bitness = ReadImageBitness(path);
        std::optional<AddinLibrary>& slot = bitness == Bitness::Bits64 ? found.bits64 : found.bits32;
        if (bitness == Bitness::Unknown) {
            LogPassedOver(path, L"not a 32-bit or 64-bit library");
        } else if (bitness == Bitness::Bits64 && !wow64) {
            LogPassedOver(path, L"64-bit, and this Windows is 32-bit");
        } else if (slot) {
            LogPassedOver(path, L"a second library of the same bitness");
        } else {
            slot = AddinLibrary{name, bitness};
        }
    }
    return found;
}

std::wstring AddinLibraryPath(const AddinLibrary& library) {
    return GetAppDir() + library.name;
}

}  // namespace cx
