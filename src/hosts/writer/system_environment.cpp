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
    // The system PATH holds %SystemRoot% and the like: its type is kept so that they keep expanding.
    void Write(const std::wstring& name, const std::wstring& text, DWORD type) override {
        WriteEnvironmentValue(HKEY_LOCAL_MACHINE, kKey, name, text, type);
    }
    EnvironmentScope Scope() const override { return kSystemEnvironmentScope; }
};

}  // namespace

UserEnvironmentStore& SystemEnvironmentRegistry() {
    static SystemEnvironment registry;
    return registry;
}

}  // namespace cx
