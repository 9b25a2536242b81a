// Editor information as the product's shared editor library declares it: four questions an editor
// answers. The library keeps one null answerer as its process-wide default; this tool carries it for
// the library's sake and never asks it anything, so the questions keep neutral names here.
#pragma once

#include <cstdint>
#include <string>

namespace cx {

class OleEditorInfo {
public:
    virtual ~OleEditorInfo() = default;
    virtual std::wstring FirstText() const = 0;
    virtual std::wstring SecondText() const = 0;
    virtual std::uint32_t Number() const = 0;
    virtual bool Flag() const = 0;
};

// No editor: empty texts, 0 and true.
class NullOleEditorInfo final : public OleEditorInfo {
public:
    std::wstring FirstText() const override { return {}; }
    std::wstring SecondText() const override { return {}; }
    std::uint32_t Number() const override { return 0; }
    bool Flag() const override { return true; }
};

// The process-wide default: created at start-up, destroyed at exit.
const OleEditorInfo& DefaultEditorInfo();

}  // namespace cx
