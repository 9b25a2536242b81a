#include "hosts/word/word_version.h"

#include "platform/process/own_process.h"
#include "platform/registry/registered_version.h"

namespace cx {

std::int32_t GetWordVersion(const ClassesLookup& lookup) {
    return GetRegisteredVersion(L"Word.Application", lookup);
}

std::int32_t GetWordVersion() {
    return GetWordVersion(OwnClassesLookup());
}

bool ProbeWordVersion() {
    return IsRegisteredVersionAtLeast(L"Word.Application", kMinWordVersion, OwnClassesLookup());
}

}  // namespace cx
