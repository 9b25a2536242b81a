// The process's translation: one engine and one file locator, owned here and nowhere else.
#pragma once

#include <string>

namespace cx {

class GettextInstance;

// The engine, created with its file locator (which scans for embedded catalogues) on the first call.
// Both live until the process ends; the engine goes first, releasing every catalogue.
GettextInstance& TheGettextInstance();

// Set-up by the program entry: the tool's own domain after "default" in the list every text is tried
// in, and as the current domain.
void AddResourceStringDomain(const std::string& name);
void SetCurrentDomain(const std::string& name);

// Routes every string-table text (platform/res_string.h) through the engine from now on. The engine
// itself is created, and the language chosen, only when the first text is loaded.
void InstallTranslation();

}  // namespace cx
