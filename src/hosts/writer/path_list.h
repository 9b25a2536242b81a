// Editing a PATH-style list ("entry;entry;..."): whole entries are looked for, added and removed, so
// that a directory never matches part of a longer entry. Portable; the caller supplies the comparison
// of two entries, which decides about letter case.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace cx {

// Whether two entries name the same directory, given as written (a trailing backslash is already
// removed from both).
using PathEntryEquals = bool (*)(std::wstring_view a, std::wstring_view b);

// Equal apart from the letter case of A to Z: the portable comparison. The Windows side passes the
// system's ordinal case-insensitive comparison, which folds every letter as the file system does.
bool EqualIgnoringAsciiCase(std::wstring_view a, std::wstring_view b);

// The entry that stands for `directory` in a list: the directory without its trailing backslash,
// except that a drive root keeps it ("C:\"), since a bare "C:" names the drive's current directory.
std::wstring PathEntryFor(std::wstring_view directory);

// Whether `entry` can stand in a list as one entry: not empty (a lone backslash counts as empty) and
// free of the separator. A directory whose name holds ";" is split in two by every reader of the list.
bool CanBeOnePathEntry(std::wstring_view entry);

struct PathEntrySpan {
    std::size_t begin = 0;
    std::size_t length = 0;
};

// The first entry of `list` equal to `entry` under `equals`, one trailing backslash ignored on either
// side; empty entries never match.
std::optional<PathEntrySpan> FindPathEntry(std::wstring_view list, std::wstring_view entry,
                                           PathEntryEquals equals);

// `list`, a semicolon and `entry`; nullopt when the entry is present already (or empty). An empty
// list gives ";entry", the form existing installs have written.
std::optional<std::wstring> WithPathEntry(std::wstring_view list, std::wstring_view entry,
                                          PathEntryEquals equals);

// `list` without the first entry equal to `entry` and one separator next to it (the one after it,
// else the one before it); nullopt when the entry is absent. Everything else is kept byte for byte.
std::optional<std::wstring> WithoutPathEntry(std::wstring_view list, std::wstring_view entry,
                                             PathEntryEquals equals);

}  // namespace cx
