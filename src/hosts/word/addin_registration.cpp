#include "hosts/word/addin_registration.h"

#include <windows.h>

#include <exception>

#include "hosts/word/addin_libraries.h"
#include "hosts/word/addin_library.h"
#include "hosts/word/native_regsvr32.h"
#include "hosts/word/word_addin.h"
#include "hosts/word/word_bitness.h"
#include "platform/errors.h"
#include "platform/process/own_process.h"
#include "platform/registry/registry_ex.h"
#include "platform/registry/registry_view.h"
#include "platform/run/run_log.h"
#include "platform/system/app_paths.h"
#include "platform/system/expand_environment.h"
#include "platform/system/file_system.h"
#include "platform/system/image_file.h"
#include "platform/text/res_string.h"
#include "platform/text/server_program.h"
#include "resources/string_ids.h"

namespace cx {
namespace {

// The ProgID key, shared by both registry views, and its class.
const std::wstring kProgIdClsidKey = std::wstring(kWordAddinProgId) + L"\\CLSID";

struct Installation {
    Bitness word = Bitness::Unknown;
    AddinLibraries libraries;
};

Installation LookAround() {
    const ClassesLookup lookup = OwnClassesLookup();
    return {GetWordBitness(lookup), FindAddinLibraries(lookup.wow64)};
}

// A Word whose bitness is unknown is served as before there were two builds: with the 32-bit one.
Bitness Needed(Bitness word) {
    return word == Bitness::Unknown ? Bitness::Bits32 : word;
}

Bitness OtherThan(Bitness bitness) {
    return bitness == Bitness::Bits64 ? Bitness::Bits32 : Bitness::Bits64;
}

[[noreturn]] void RaiseLibraryMissing(Bitness word) {
    const bool bits64 = word == Bitness::Bits64;
    const std::wstring path = GetAppDir() + (bits64 ? kWordAddinLibrary64 : kWordAddinLibrary);
    throw Exception(FormatResString(bits64 ? IDS_WORD_NEEDS_LIBRARY_64 : IDS_WORD_NEEDS_LIBRARY_32, {path}));
}

// Raises as RegisterAddinForWord says for the build's bitness.
void Register(const AddinLibrary& library, bool doRegister) {
    if (library.bitness == Bitness::Bits32) {
        RegisterAddinLibrary(library.name, doRegister);
        return;
    }
    const std::wstring path = AddinLibraryPath(library);
    const std::int32_t code = RunNativeRegsvr32(path, doRegister);
    if (code != kRegsvrDone)
        throw Exception(FormatResString(
            doRegister ? IDS_REGSVR_REGISTER_FAILED : IDS_REGSVR_UNREGISTER_FAILED, {path, code}));
}

// The library that the add-in's class names in `view`, as COM would load it; empty when the ProgID, its
// class or the class's InprocServer32 is missing.
std::wstring RegisteredLibrary(const std::wstring& clsid, REGSAM view) {
    if (clsid.empty()) return {};
    const std::wstring server =
        ReadRegStringInView(HKEY_CLASSES_ROOT, L"CLSID\\" + clsid + L"\\InprocServer32", L"", L"", view);
    return ExpandEnvironment(InprocServerPath(server));
}

std::wstring RegisteredClass(REGSAM view) {
    return ReadRegStringInView(HKEY_CLASSES_ROOT, kProgIdClsidKey, L"", L"", view);
}

// Word resolves ProgID -> CLSID -> InprocServer32 in its own view; a registration that lands in the
// other view (or names another file) would be reported as installed while Word cannot load it.
void VerifyWordsView(Bitness word, const AddinLibrary& library) {
    const REGSAM view = WordRegistryView(word);
    const std::wstring registered = RegisteredLibrary(RegisteredClass(view), view);
    const std::wstring path = AddinLibraryPath(library);
    if (IsRunLogOpen()) LogStep(L"add-in class in Word's registry view: \"" + registered + L"\"");
    if (registered.empty() || !IsSameFile(registered, path))
        throw Exception(FormatResString(IDS_WORD_ADDIN_NOT_IN_VIEW, {Bits(word), path}));
}

// Each build's unregistration deletes the ProgID key that both share; while the other build stays
// registered (its unregistration failed, or it was not shipped this time), Word would then no longer
// find it by ProgID.
void KeepSharedProgId(const std::wstring& clsid, const std::wstring& description) {
    if (clsid.empty() || RegKeyExists(HKEY_CLASSES_ROOT, kWordAddinProgId)) return;
    bool remains = false;
    // On 32-bit Windows both flags are ignored and read the one view.
    for (const REGSAM view : {KEY_WOW64_32KEY, KEY_WOW64_64KEY}) {
        const std::wstring library = RegisteredLibrary(clsid, view);
        remains = remains || (!library.empty() && IsExistingFile(library));
    }
    if (!remains) return;
    WriteRegKeyDefault(HKEY_CLASSES_ROOT, kWordAddinProgId, description);
    WriteRegKeyDefault(HKEY_CLASSES_ROOT, kProgIdClsidKey, clsid);
}

}  // namespace

void RegisterAddinForWord() {
    const Installation here = LookAround();
    const Bitness needed = Needed(here.word);
    const std::optional<AddinLibrary>& match = here.libraries.For(needed);
    if (match) {
        Register(*match, true);
    } else if (here.word != Bitness::Unknown) {
        RaiseLibraryMissing(here.word);
    } else {
        // Nothing to go by: the library beside the tool is asked as ever, and reports why it cannot be.
        RegisterAddinLibrary(kWordAddinLibrary, true);
    }
    if (const std::optional<AddinLibrary>& other = here.libraries.For(OtherThan(needed))) {
        try {
            Register(*other, true);
        } catch (const Exception& error) {
            // Only for a later Office of the other bitness: this Word does not need it.
            if (IsRunLogOpen()) LogStep(L"the other build was not registered: " + error.Message());
        }
    }
    if (match && here.word != Bitness::Unknown) VerifyWordsView(here.word, *match);
}

void UnregisterAddinLibraries() {
    const Installation here = LookAround();
    const std::wstring clsid = RegisteredClass(0);
    const std::wstring description = ReadRegString(HKEY_CLASSES_ROOT, kWordAddinProgId, L"", L"");
    std::exception_ptr firstFailure;
    const auto attempt = [&](auto&& unregister) {
        try {
            unregister();
        } catch (const Exception&) {
            if (!firstFailure) firstFailure = std::current_exception();
        }
    };
    const Bitness needed = Needed(here.word);
    for (const Bitness bitness : {needed, OtherThan(needed)}) {
        if (const std::optional<AddinLibrary>& library = here.libraries.For(bitness)) {
            attempt([&] { Register(*library, false); });
        } else if (bitness == needed) {
            attempt([&] {
                if (here.word != Bitness::Unknown) RaiseLibraryMissing(here.word);
                RegisterAddinLibrary(kWordAddinLibrary, false);
            });
        }
    }
    KeepSharedProgId(clsid, description);
    if (firstFailure) std::rethrow_exception(firstFailure);
}

}  // namespace cx
