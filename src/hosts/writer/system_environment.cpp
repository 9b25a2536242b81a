#include "hosts/writer/system_environment.h"

#include <windows.h>

#include "platform/registry/registry_ex.h"

namespace cx {
namespace {

// Not redirected on 64-bit Windows: the SYSTEM hive has one view.
constexpr wchar_t kKey[] = L"SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment";

class SystemEnvironment : public UserEnvironmentStore {
public:
    RegStringRead Read(const std::wstring& name) override {
        return QueryRegString(HKEY_LOCAL_MACHINE, kKey, name);
    }
    void Write(const std::wstring& name, const std::wstring& text, DWORD type) override {
        if (text.empty()) {
            DeleteRegValue(HKEY_LOCAL_MACHINE, kKey, name);
        } else if (type == REG_EXPAND_SZ) {
            // The system PATH holds %SystemRoot% and the like: they must keep expanding.
            WriteRegExpandString(HKEY_LOCAL_MACHINE, kKey, name, text);
        } else {
            WriteRegString(HKEY_LOCAL_MACHINE, kKey, name, text);
        }
    }
    EnvironmentScope Scope() const override { return kSystemEnvironmentScope; }
};

}  // namespace

UserEnvironmentStore& SystemEnvironmentRegistry() {
    static SystemEnvironment registry;
    return registry;
}

}  // namespace cx
