#include "hosts/browser/ie_context_menu.h"

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

#include "platform/registry/registry_accessor.h"
#include "platform/registry/registry_ex.h"
#include "platform/system/app_paths.h"
#include "platform/text/res_string.h"

namespace cx {
namespace {

constexpr wchar_t kMenuExtKey[] = L"\\Software\\Microsoft\\Internet Explorer\\MenuExt";

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

// Where the entry is offered: page (0x01), tables (0x08), selected text (0x10), links (0x20); not on
// images or controls.
constexpr std::int32_t kContexts = 0x01 | 0x08 | 0x10 | 0x20;

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
        if (EqualIgnoringAsciiCase(page, pagePath)) result = registry.DeleteKey(EntryKey(name));
    }
    return result;
}

// Creates or reuses the entry key named `caption` and writes its two values. False when the key
// cannot be created; raises when a value cannot be written.
bool AddMenuExtEntry(RegistryAccessor& registry, const std::wstring& caption, std::wstring_view pageFile) {
    if (!registry.OpenKey(EntryKey(caption), true)) return false;
    registry.WriteString(std::wstring(), PagePath(pageFile));
    registry.WriteInteger(L"Contexts", kContexts);
    registry.CloseKey();
    return true;
}

}  // namespace

bool UnregisterIEContextMenu() {
    RegistryAccessor registry(HKEY_CURRENT_USER, KEY_ALL_ACCESS);
    // Nothing to remove only when the key is missing: one that cannot be opened may hold entries that
    // would stay, and a later install would add a second set beside them.
    if (!registry.OpenKey(kMenuExtKey, false)) return !RegKeyExists(HKEY_CURRENT_USER, kMenuExtKey);
    // Read once: every pass walks the same list, even after deletions.
    const std::vector<std::wstring> names = registry.GetKeyNames();
    registry.CloseKey();
    bool result = true;
    for (const MenuEntry& entry : kMenuEntries) {
        result = DeleteMenuExtEntries(registry, entry.pageFile, names);
        if (!result) break;
    }
    return result;
}

bool RegisterIEContextMenu(bool install) {
    const bool removed = UnregisterIEContextMenu();
    if (!install) return removed;
    RegistryAccessor registry(HKEY_CURRENT_USER, KEY_ALL_ACCESS);
    for (const MenuEntry& entry : kMenuEntries) {
        // The caption comes from translation at this moment, in the language selected.
        if (!AddMenuExtEntry(registry, LoadResString(entry.captionId), entry.pageFile)) return false;
    }
    return true;
}

}  // namespace cx
