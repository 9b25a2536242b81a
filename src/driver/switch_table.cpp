#include "driver/switch_table.h"

#include "driver/app_server.h"
#include "hosts/browser/all_users_menu.h"
#include "hosts/browser/ie_context_menu.h"
#include "hosts/word/machine_addin.h"
#include "hosts/word/word_addin.h"
#include "hosts/word/word_version.h"
#include "hosts/wps/wps_addin.h"
#include "hosts/writer/writer_extension.h"
#include "i18n/language.h"
#include "platform/text/win_text.h"

namespace cx {
namespace {

// Tested in this order, whatever the order on the command line.
constexpr SwitchEntry kSwitches[] = {
    {L"wv", SwitchOutcome::EndWithFlag, [](const std::wstring&) -> std::int32_t { return ProbeWordVersion(); }},
    {L"pv", SwitchOutcome::EndWithFlag, [](const std::wstring&) -> std::int32_t { return ProbeWpsVersion(); }},
    {L"ov", SwitchOutcome::EndWithFlag, [](const std::wstring&) -> std::int32_t { return ProbeWriterSuite(); }},
    {L"ni", SwitchOutcome::GoOn, [](const std::wstring&) -> std::int32_t { return RegisterAppServer(true); }},
    // "nu" stays right after "ni": it acts only when "ni" did not.
    {L"nu", SwitchOutcome::GoOn, [](const std::wstring&) -> std::int32_t { return RegisterAppServer(false); },
     false, true},
    {L"wi", SwitchOutcome::EndWithCode,
     [](const std::wstring&) -> std::int32_t { return InstallWordAddin(); }, false, false,
     [](const std::wstring&) -> std::int32_t { return InstallWordAddinForAllUsers(); }},
    {L"wu", SwitchOutcome::EndWithCode,
     [](const std::wstring&) -> std::int32_t { return UninstallWordAddin(); }, false, false,
     [](const std::wstring&) -> std::int32_t { return UninstallWordAddinForAllUsers(); }},
    {L"pi", SwitchOutcome::EndWithFlag, [](const std::wstring&) -> std::int32_t { return InstallWpsAddin(); }},
    {L"pu", SwitchOutcome::EndWithFlag, [](const std::wstring&) -> std::int32_t { return UninstallWpsAddin(); }},
    {L"oi", SwitchOutcome::EndWithCode,
     [](const std::wstring&) -> std::int32_t { return InstallWriterExtension(); }, false, false,
     [](const std::wstring&) -> std::int32_t { return InstallWriterExtensionForAllUsers(); }},
    {L"ou", SwitchOutcome::EndWithCode,
     [](const std::wstring&) -> std::int32_t { return UninstallWriterExtension(); }, false, false,
     [](const std::wstring&) -> std::int32_t { return UninstallWriterExtensionForAllUsers(); }},
    {L"eu", SwitchOutcome::EndWithFlag,
     [](const std::wstring&) -> std::int32_t { return RegisterIEContextMenu(false); }, false, false,
     [](const std::wstring&) -> std::int32_t { return RegisterIEContextMenuForAllUsers(false); }},
    // "ei" followed directly by the language code of the captions.
    {L"ei", SwitchOutcome::EndWithFlag,
     [](const std::wstring& language) -> std::int32_t {
         SelectLanguage(ToAnsi(language));
         return RegisterIEContextMenu(true);
     },
     true, false,
     [](const std::wstring& language) -> std::int32_t {
         SelectLanguage(ToAnsi(language));
         return RegisterIEContextMenuForAllUsers(true);
     }},
};

}  // namespace

const CommandSet& ToolCommands() {
    static const CommandSet commands{kSwitches,
                                     InteractiveActions{&RegisterAppServer, &InstallWordAddin, &UninstallWordAddin}};
    return commands;
}

}  // namespace cx
