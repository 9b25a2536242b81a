// Where the process looks for a library loaded by bare name.
#pragma once

namespace cx {

// The tool runs with administrator rights: a library loaded by bare name must never come from the
// current directory or a folder on PATH, where anybody may have put one. Limits the search of the
// whole process to the executable's own folder and the system's. Called once, first thing at
// start-up. Never raises; where the system lacks a part of it, the rest still applies.
void RestrictLibrarySearch();

}  // namespace cx
