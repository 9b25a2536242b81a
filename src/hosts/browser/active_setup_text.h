// The texts of the Active Setup entry through which the context-menu entries reach every user of the
// machine: its version, and the command Windows runs as each user at logon. Portable.
//
// Windows compares a component's "Version" under HKEY_LOCAL_MACHINE with the one recorded for the user
// under HKEY_CURRENT_USER, part by part, and runs the component's "StubPath" as the user when the
// machine's is higher (or the user has none), then records it. The command runs unelevated, so it is
// the system's own reg.exe (the tool's manifest requires administrators), chained by cmd.exe.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace cx {

// What the tool writes into the per-user key "Software\Microsoft\Internet Explorer\MenuExt".
inline constexpr wchar_t kMenuExtKey[] = L"\\Software\\Microsoft\\Internet Explorer\\MenuExt";
// Where an entry is offered: page (0x01), tables (0x08), selected text (0x10), links (0x20); not on
// images or controls.
inline constexpr std::uint32_t kMenuContexts = 0x01 | 0x08 | 0x10 | 0x20;

// One entry: its caption (the key's name) and the page it opens (the key's default value).
struct MenuEntryText {
    std::wstring caption;
    std::wstring pagePath;
};

// The version to write after `current`: four parts separated by commas, the last part of `current`
// raised by one, carried into the part before it past 65535 (the largest part every reader of such
// versions takes). Parts may be separated by commas or full stops and missing ones count as 0. A
// missing, empty or unreadable `current` (not up to four numbers) gives "1,0,0,0". nullopt when every
// part is 65535 already: no higher version can be written.
std::optional<std::wstring> NextActiveSetupVersion(std::wstring_view current);

// The StubPath (stored as REG_EXPAND_SZ, so %SystemRoot% is expanded when it runs) that first deletes
// the entry keys named in `remove`, then creates each of `add` with its page path and "Contexts" =
// kMenuContexts. Each step runs whether or not the one before it worked: a key to delete may be gone.
// nullopt when a caption or page path cannot be carried through the command line unchanged: empty, or
// holding a double quote, a percent sign (expanded by Windows and by cmd.exe) or a control character,
// or when the command would pass cmd.exe's limit of 8191 characters.
std::optional<std::wstring> MenuStubPath(std::span<const std::wstring> remove,
                                         std::span<const MenuEntryText> add);

// The captions a command made by MenuStubPath deletes or creates, each once, in the order they first
// appear; none for any other text.
std::vector<std::wstring> MenuStubCaptions(std::wstring_view stubPath);

}  // namespace cx
