// Internet Explorer context-menu entries that open the product's pages: one sub-key of the per-user
// MenuExt key per entry, named by its caption, with the page path as its default value.
#pragma once

#include <vector>

#include "hosts/browser/active_setup_text.h"

namespace cx {

// The three entries with their captions in the language selected now, in the order they are created.
std::vector<MenuEntryText> MenuEntriesInSelectedLanguage();

// Removes every entry whose page path is one of this installation's three pages. Entries are found by
// page path only, so entries with captions in any language go. True when every attempted deletion
// worked (and when there is no MenuExt key); false when the MenuExt key exists but cannot be opened
// with full access. Raises ERegistryException "Invalid data type for ''" for an entry whose default
// value is not a string.
bool UnregisterIEContextMenu();

// "eu" (install false) and "ei" (install true). Always removes first; installing then ignores a failed
// deletion and adds the three entries with captions in the selected language, stopping at the first
// entry key that cannot be created (false). When the MenuExt key exists but cannot be opened with full
// access, installing adds nothing and is false. Every false has its reason in the run's log. Raises as
// UnregisterIEContextMenu, and ERegistryException "Failed to set data for '%s'" when a value of a
// created entry cannot be written.
bool RegisterIEContextMenu(bool install);

}  // namespace cx
