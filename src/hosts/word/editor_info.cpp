#include "hosts/word/editor_info.h"

namespace cx {
namespace {

const NullOleEditorInfo gDefaultEditorInfo;

}  // namespace

const OleEditorInfo& DefaultEditorInfo() {
    return gDefaultEditorInfo;
}

}  // namespace cx
