// The context-menu entries for every user of the machine ("am" with "ei" or "eu"). Internet Explorer
// reads its menu entries only from the user's own hive, and a deployment running as LocalSystem has
// no user's hive at hand, so the entries reach each user through Active Setup: one component under
// HKEY_LOCAL_MACHINE\Software\Microsoft\Active Setup\Installed Components (the native registry view,
// the one Windows processes at logon) whose command adds or deletes them as that user, at the user's
// next logon. Nothing is written under HKEY_CURRENT_USER.
#pragma once

namespace cx {

// The component's key, and its GUID, which stays the same for install and removal: a user who got the
// entries is recognised by it when they go.
inline constexpr wchar_t kActiveSetupComponentKey[] =
    L"\\Software\\Microsoft\\Active Setup\\Installed Components\\{0F585D00-D935-4E5F-B38C-32E0B8B0C908}";

// Install (true): the component's command deletes the entries that earlier installs of this
// component created under other captions and creates the three entries with the captions of the
// language selected now. Removal (false): the command deletes every entry the component ever
// created, with the captions of the language selected now besides; with no component there is nothing
// to remove and nothing is written. Either way "IsInstalled" is 1 and "Version" is raised, so that the
// command runs once more for every user, also for those who ran the earlier one.
//
// False, with the reason in the run's log and nothing written, when a caption or the folder cannot be
// carried into the command unchanged, the version cannot be raised, or the key cannot be created (or
// for removal opened). Raises ERegistryException "Failed to set data for '%s'" when a value cannot be
// written.
bool RegisterIEContextMenuForAllUsers(bool install);

}  // namespace cx
