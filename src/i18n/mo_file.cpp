#include "i18n/mo_file.h"

#include <windows.h>

#include "platform/errors.h"
#include "platform/run/system_error.h"
#include "platform/text/res_string.h"

namespace cx {
namespace {

// The message of a catalogue error, translated like every other text. Loading it may open another
// domain's catalogue; should that one be unusable too, this error keeps its own (English) text
// rather than being replaced by the other one's.
[[noreturn]] void RaiseCatalogueError(unsigned id, std::initializer_list<FormatArg> args) {
    std::wstring message;
    try {
        message = FormatResString(id, args);
    } catch (const EGnuGettext&) {
        message = FormatText(LoadEnglishResString(id), args);
    }
    throw EGGIOError(message);
}

}  // namespace

MoFile::MoFile(const std::wstring& path, std::uint64_t offset, std::optional<std::uint64_t> size)
    : path_(path), offset_(offset) {
    file_.reset(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file_) RaiseCatalogueError(IDS_MO_CANNOT_OPEN, {path});

    // The system refuses to map an empty file; checking first gives the same answer on every system.
    LARGE_INTEGER fileSize{};
    if (!::GetFileSizeEx(file_.get(), &fileSize) || fileSize.QuadPart == 0) {
        RaiseCatalogueError(IDS_MO_CANNOT_CREATE_MAP, {path});
    }
    mapping_.reset(::CreateFileMappingW(file_.get(), nullptr, PAGE_READONLY, 0, 0, nullptr));
    if (!mapping_) RaiseCatalogueError(IDS_MO_CANNOT_CREATE_MAP, {path});
    view_.reset(::MapViewOfFile(mapping_.get(), FILE_MAP_READ, 0, 0, 0));
    if (!view_) RaiseCatalogueError(IDS_MO_CANNOT_MAP, {path, SysErrorMessage(::GetLastError())});

    const auto total = static_cast<std::uint64_t>(fileSize.QuadPart);
    const std::uint64_t length = size.value_or(offset <= total ? total - offset : 0);
    if (offset > total || length > total - offset) RaiseCatalogueError(IDS_MO_INVALID, {path});
    try {
        catalogue_.emplace(static_cast<const unsigned char*>(view_.get()) + offset, length, path);
    } catch (const EGGIOError&) {
        // The portable reader words its message in English; ours comes from the string table.
        RaiseCatalogueError(IDS_MO_INVALID, {path});
    }
}

}  // namespace cx
