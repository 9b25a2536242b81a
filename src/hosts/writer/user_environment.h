// The application directory's entry on the current user's PATH (HKEY_CURRENT_USER\Environment), as
// new programs get it.
#pragma once

namespace cx {

// Adds the application directory to the user's PATH unless an entry names it already (whole entries,
// letter case and a trailing backslash ignored). The value keeps its type (REG_EXPAND_SZ stays so; a
// new value is REG_SZ); the change is mirrored in this process's own environment, so that children
// started afterwards see it, and announced to the running programs; nothing is written or announced
// when the entry is there already.
//
// Copies of the tool edit the PATH one at a time (a lock of the user's, see UserMutexLock), and what
// was written is read back: when another program wrote meanwhile, the change is made again to what
// is there now, a bounded number of times.
//
// False, with the PATH left as it is, when the entry could not be put in place: the PATH exists but
// cannot be read as text (another type, a key that denies reading, a value that never stops
// changing), the directory's name holds ";" and so cannot be one entry, or other programs kept
// overwriting the change. A missing PATH reads as empty. Raises ERegistryExError when the value cannot
// be written or deleted: the write error for "Environment", or the value error for "Environment" and
// "PATH".
bool AddAppDirToUserPath();

// Removes the first PATH entry naming the application directory, with one neighbouring separator;
// an emptied PATH is deleted. Writes and announces nothing when there is no such entry. Fails and
// raises as AddAppDirToUserPath.
bool RemoveAppDirFromUserPath();

}  // namespace cx
