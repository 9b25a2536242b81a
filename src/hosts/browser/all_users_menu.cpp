#include "hosts/browser/all_users_menu.h"

#include <windows.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "hosts/browser/active_setup_text.h"
#include "hosts/browser/ie_context_menu.h"
#include "platform/registry/registry_accessor.h"
#include "platform/registry/registry_view.h"
#include "platform/run/run_log.h"

namespace cx {
namespace {

// Windows processes the components of its own view at logon; on 32-bit Windows the flag is ignored.
constexpr REGSAM kNativeView = KEY_WOW64_64KEY;
// What Windows names while it sets the component up for a user at logon.
constexpr wchar_t kComponentName[] = L"Corvane2";

bool NotWritten(const std::wstring& why) {
    LogStep(L"Active Setup entry not written: " + why);
    return false;
}

std::wstring ComponentValue(const wchar_t* name) {
    return ReadRegStringInView(HKEY_LOCAL_MACHINE, kActiveSetupComponentKey, name, L"", kNativeView);
}

bool Holds(const std::vector<std::wstring>& captions, const std::wstring& caption) {
    return std::find(captions.begin(), captions.end(), caption) != captions.end();
}

// The captions to delete and the entries to create at each user's next logon.
struct StubSteps {
    std::vector<std::wstring> remove;
    std::vector<MenuEntryText> add;
};

// Entries of earlier installs (whatever their language) go; only the current three are created.
StubSteps StepsFor(bool install, std::vector<std::wstring> earlier, std::vector<MenuEntryText> current) {
    StubSteps steps;
    for (std::wstring& caption : earlier) {
        const bool created = std::any_of(current.begin(), current.end(), [&](const MenuEntryText& entry) {
            return entry.caption == caption;
        });
        if (!install || !created) steps.remove.push_back(std::move(caption));
    }
    for (MenuEntryText& entry : current) {
        if (install) {
            steps.add.push_back(std::move(entry));
        } else if (!Holds(steps.remove, entry.caption)) {
            steps.remove.push_back(std::move(entry.caption));
        }
    }
    return steps;
}

}  // namespace

bool RegisterIEContextMenuForAllUsers(bool install) {
    const bool exists = RegKeyExistsInView(HKEY_LOCAL_MACHINE, kActiveSetupComponentKey, kNativeView);
    if (!install && !exists) {
        LogStep(L"no Active Setup entry of this tool: no user has entries to remove");
        return true;
    }
    // Everything is worked out before the key is touched, so that a refusal leaves nothing behind.
    const StubSteps steps =
        StepsFor(install, MenuStubCaptions(ComponentValue(L"StubPath")), MenuEntriesInSelectedLanguage());
    const std::optional<std::wstring> stubPath = MenuStubPath(steps.remove, steps.add);
    if (!stubPath) {
        return NotWritten(
            L"a caption or the folder holds a double quote, a percent sign or a control character, or the "
            L"command would be too long for cmd.exe");
    }
    const std::wstring oldVersion = ComponentValue(L"Version");
    const std::optional<std::wstring> version = NextActiveSetupVersion(oldVersion);
    if (!version) return NotWritten(L"its version " + oldVersion + L" cannot be raised");

    RegistryAccessor registry(HKEY_LOCAL_MACHINE, KEY_ALL_ACCESS | kNativeView);
    if (!registry.OpenKey(kActiveSetupComponentKey, install)) {
        return NotWritten(install ? L"the key cannot be created"
                                  : L"the key cannot be opened with full access");
    }
    registry.WriteString(L"", kComponentName);
    registry.WriteInteger(L"IsInstalled", 1);
    registry.WriteExpandString(L"StubPath", *stubPath);
    // Last: a user logging on meanwhile still sees the old version and does not run a half-written entry.
    registry.WriteString(L"Version", *version);
    LogStep(std::wstring(install ? L"context-menu entries" : L"removal of the context-menu entries") +
            L" for every user at their next logon, Active Setup version " + *version);
    return true;
}

}  // namespace cx
