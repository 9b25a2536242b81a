#include "hosts/word/word_bitness.h"

#include "platform/run/run_log.h"
#include "platform/system/expand_environment.h"
#include "platform/system/image_file.h"
#include "platform/text/server_program.h"

namespace cx {
namespace {

void LogWordBitness(std::wstring_view what) {
    if (IsRunLogOpen()) LogStep(L"Word's bitness: " + std::wstring(what));
}

}  // namespace

std::wstring ReadWordServerCommand(const ClassesLookup& lookup, REGSAM view) {
    // The ProgID key is shared by both views; the class key is not.
    const std::wstring clsid = ReadClassesDefault(lookup, L"Word.Application\\CLSID", view);
    if (clsid.empty()) return {};
    return ReadClassesDefault(lookup, L"CLSID\\" + clsid + L"\\LocalServer32", view);
}

Bitness GetWordBitness(const ClassesLookup& lookup) {
    if (!lookup.wow64) return Bitness::Bits32;
    for (const REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY}) {
        const wchar_t* viewName = view == KEY_WOW64_64KEY ? L"64-bit view" : L"32-bit view";
        const std::wstring command = ReadWordServerCommand(lookup, view);
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
