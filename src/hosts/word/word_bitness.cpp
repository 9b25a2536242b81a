#include "hosts/word/word_bitness.h"

#include "hosts/word/server_program.h"
#include "platform/registry/registry_view.h"
#include "platform/run/run_log.h"
#include "platform/system/expand_environment.h"
#include "platform/system/image_file.h"

namespace cx {
namespace {

void LogWordBitness(std::wstring_view what) {
    if (IsRunLogOpen()) LogStep(L"Word's bitness: " + std::wstring(what));
}

}  // namespace

std::wstring ReadWordServerCommand(REGSAM view) {
    // The ProgID key is shared by both views; the class key is not.
    const std::wstring clsid =
        ReadRegStringInView(HKEY_CLASSES_ROOT, L"Word.Application\\CLSID", L"", L"", view);
    if (clsid.empty()) return {};
    return ReadRegStringInView(HKEY_CLASSES_ROOT, L"CLSID\\" + clsid + L"\\LocalServer32", L"", L"", view);
}

Bitness GetWordBitness(bool wow64) {
    if (!wow64) return Bitness::Bits32;
    for (const REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY}) {
        const wchar_t* viewName = view == KEY_WOW64_64KEY ? L"64-bit view" : L"32-bit view";
        const std::wstring command = ReadWordServerCommand(view);
        if (command.empty()) continue;
        const std::wstring program = ExpandEnvironment(ServerProgram(command));
        const Bitness bitness = ReadImageBitness(program);
        LogWordBitness(std::wstring(viewName) + L" names \"" + program + L"\": " +
                       (bitness == Bitness::Unknown ? L"not a 32-bit or 64-bit program"
                                                    : std::to_wstring(Bits(bitness)) + L"-bit"));
        if (bitness != Bitness::Unknown) return bitness;
    }
    LogWordBitness(L"unknown; the 32-bit add-in library is registered as for a 32-bit Word");
    return Bitness::Unknown;
}

REGSAM WordRegistryView(Bitness bitness) {
    if (bitness == Bitness::Bits64) return KEY_WOW64_64KEY;
    return bitness == Bitness::Bits32 ? KEY_WOW64_32KEY : 0;
}

int Bits(Bitness bitness) {
    if (bitness == Bitness::Bits64) return 64;
    return bitness == Bitness::Bits32 ? 32 : 0;
}

}  // namespace cx
