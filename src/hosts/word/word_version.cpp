#include "hosts/word/word_version.h"

#include "platform/registry/registered_version.h"

namespace cx {

std::int32_t GetWordVersion() {
    return GetRegisteredVersion(L"Word.Application");
}

bool ProbeWordVersion() {
    return IsRegisteredVersionAtLeast(L"Word.Application", kMinWordVersion);
}

}  // namespace cx
