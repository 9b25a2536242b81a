// The file under the run's log. The tool runs elevated and its caller names the file, often in a
// folder that programs of the user can write ($TEMP, C:\ProgramData): a link planted there must not turn
// the log into a write anywhere else.
#pragma once

#include <windows.h>

#include <string>

#include "platform/handles.h"

namespace cx {

enum class LogFileOpening {
    Opened,
    // No file: a missing folder, a file another program holds without sharing, no right to write.
    Failed,
    // The name leads somewhere else or to something that is not a file of its own; nothing was written.
    Refused,
};

struct LogFile {
    UniqueFile file;
    LogFileOpening opening = LogFileOpening::Failed;
};

// Opens the file `path` names for appending (FILE_APPEND_DATA; other runs may append at the same
// time), or creates it, without following a link and with identification-level impersonation only, so
// that a named pipe's server cannot act as the tool. The file is refused when it is a reparse point, a
// folder or anything but a file on a disk, when it has more than one name (a hard link), or when the
// file the handle reaches is not at the full path asked for (a link or junction in a folder on the
// way). A file made for a refused name is deleted again. Never raises.
LogFile OpenLogFile(const std::wstring& path);

}  // namespace cx
