#include "hosts/browser/ie_context_menu.h"

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

#include "platform/registry/registry_accessor.h"
#include "platform/registry/registry_ex.h"
#include "platform/run/run_log.h"
#include "platform/system/app_paths.h"
#include "platform/text/format.h"
#include "platform/text/res_string.h"

namespace cx {
namespace {

struct MenuEntry {
    unsigned captionId;
    std::wstring_view pageFile;
};

// In the order of the removal passes and of creation.
constexpr MenuEntry kMenuEntries[] = {
    {IDS_IE_CONTENT_NOTE, L"IEContext_Content_Note.htm"},
    {IDS_IE_CONTENT_REF, L"IEContext_Content_Ref.htm"},
    {IDS_IE_URL_REF, L"IEContext_Url_Ref.htm"},
};

std::wstring PagePath(std::wstring_view pageFile) {
    return GetAppDir() + L"BrowserExt\\" + std::wstring(pageFile);
}

std::wstring EntryKey(const std::wstring& name) {
    return std::wstring(kMenuExtKey) + L"\\" + name;
}

wchar_t AsciiLower(wchar_t c) {
    return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

// Only A-Z fold: a path written by another tool in another case is the same page, while a locale's
// case rules must not make two different paths equal.
bool EqualIgnoringAsciiCase(std::wstring_view a, std::wstring_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
    }
    return true;
}

// One removal pass: deletes the entries among `names` whose default value is the path of `pageFile`.
// The result is that of the last deletion; true when nothing matched.
bool DeleteMenuExtEntries(RegistryAccessor& registry, std::wstring_view pageFile,
                          const std::vector<std::wstring>& names) {
    const std::wstring pagePath = PagePath(pageFile);
    bool result = true;
    for (const std::wstring& name : names) {
        // An earlier pass may have deleted it.
        if (!registry.OpenKey(EntryKey(name), false)) continue;
        const std::wstring page = registry.ReadString(std::wstring());
        registry.CloseKey();
        if (!EqualIgnoringAsciiCase(page, pagePath)) continue;
        result = registry.DeleteKey(EntryKey(name));
        if (!result) LogStep(FormatText(L"the context-menu entry \"%s\" could not be deleted", {name}));
    }
    return result;
}

// Creates or reuses the entry key named `caption` and writes its two values. False when the key
// cannot be created; raises when a value cannot be written.
bool AddMenuExtEntry(RegistryAccessor& registry, const std::wstring& caption, std::wstring_view pageFile) {
    if (!registry.OpenKey(EntryKey(caption), true)) {
        LogStep(FormatText(L"the context-menu entry \"%s\" could not be created", {caption}));
        return false;
    }
    registry.WriteString(std::wstring(), PagePath(pageFile));
    registry.WriteInteger(L"Contexts", static_cast<std::int32_t>(kMenuContexts));
    registry.CloseKey();
    return true;
}

enum class Removal { Done, Failed, NotRun };

Removal RemoveMenuExtEntries() {
    RegistryAccessor registry(HKEY_CURRENT_USER, KEY_ALL_ACCESS);
    if (!registry.OpenKey(kMenuExtKey, false)) {
        if (!RegKeyExists(HKEY_CURRENT_USER, kMenuExtKey)) return Removal::Done;
        // It may hold entries that would stay, and an install would add a second set beside them.
        LogStep(L"the MenuExt key exists but cannot be opened with full access");
        return Removal::NotRun;
    }
    // Read once: every pass walks the same list, even after deletions.
    const std::vector<std::wstring> names = registry.GetKeyNames();
    registry.CloseKey();
    for (const MenuEntry& entry : kMenuEntries) {
        if (!DeleteMenuExtEntries(registry, entry.pageFile, names)) return Removal::Failed;
    }
    return Removal::Done;
}

}  // namespace

std::vector<MenuEntryText> MenuEntriesInSelectedLanguage() {
    std::vector<MenuEntryText> entries;
    for (const MenuEntry& entry : kMenuEntries)
        entries.push_back({LoadResString(entry.captionId), PagePath(entry.pageFile)});
    return entries;
}

bool UnregisterIEContextMenu() {
    return RemoveMenuExtEntries() == Removal::Done;
}

bool RegisterIEContextMenu(bool install) {
    const Removal removal = RemoveMenuExtEntries();
    if (!install) return removal == Removal::Done;
    // A removal that failed part-way does not stop the install; one that could not look at the entries
    // at all does: every old entry may still be there, and a second set would stand beside them.
    if (removal == Removal::NotRun) {
        LogStep(L"no context-menu entry added: the old ones could not be removed first");
        return false;
    }
    RegistryAccessor registry(HKEY_CURRENT_USER, KEY_ALL_ACCESS);
    for (const MenuEntry& entry : kMenuEntries) {
        // The caption comes from translation at this moment, in the language selected.
        if (!AddMenuExtEntry(registry, LoadResString(entry.captionId), entry.pageFile)) return false;
    }
    return true;
}

}  // namespace cx
