// One small owning type per Windows resource, all from one template: no raw handle outlives its scope.
#pragma once

#include <windows.h>

#include <utility>

namespace cx {

// Traits give the handle type, its invalid value and how to close it.
template <typename Traits>
class UniqueResource {
public:
    using T = typename Traits::Type;

    UniqueResource() = default;
    explicit UniqueResource(T value) : value_(value) {}
    UniqueResource(const UniqueResource&) = delete;
    UniqueResource& operator=(const UniqueResource&) = delete;
    UniqueResource(UniqueResource&& other) noexcept : value_(other.release()) {}
    UniqueResource& operator=(UniqueResource&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    ~UniqueResource() { reset(); }

    T get() const { return value_; }
    explicit operator bool() const { return value_ != Traits::Invalid(); }
    // For out-parameters of API calls; releases what was held.
    T* put() {
        reset();
        return &value_;
    }
    T release() { return std::exchange(value_, Traits::Invalid()); }
    void reset(T value = Traits::Invalid()) {
        if (value_ != Traits::Invalid()) Traits::Close(value_);
        value_ = value;
    }

private:
    T value_ = Traits::Invalid();
};

namespace detail {
struct HandleTraits {
    using Type = HANDLE;
    static Type Invalid() { return nullptr; }
    static void Close(Type h) { ::CloseHandle(h); }
};
struct FileTraits {
    using Type = HANDLE;
    static Type Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(Type h) { ::CloseHandle(h); }
};
struct KeyTraits {
    using Type = HKEY;
    static Type Invalid() { return nullptr; }
    static void Close(Type key) { ::RegCloseKey(key); }
};
struct ModuleTraits {
    using Type = HMODULE;
    static Type Invalid() { return nullptr; }
    static void Close(Type module) { ::FreeLibrary(module); }
};
struct ViewTraits {
    using Type = const void*;
    static Type Invalid() { return nullptr; }
    static void Close(Type view) { ::UnmapViewOfFile(view); }
};
struct LocalTraits {
    using Type = HLOCAL;
    static Type Invalid() { return nullptr; }
    static void Close(Type memory) { ::LocalFree(memory); }
};
}  // namespace detail

// Process, thread, pipe, mapping and event handles (invalid when null).
using UniqueHandle = UniqueResource<detail::HandleTraits>;
// File and snapshot handles, whose invalid value is INVALID_HANDLE_VALUE.
using UniqueFile = UniqueResource<detail::FileTraits>;
using UniqueKey = UniqueResource<detail::KeyTraits>;
using UniqueModule = UniqueResource<detail::ModuleTraits>;
using UniqueView = UniqueResource<detail::ViewTraits>;
// Memory the system allocated for the caller to free with LocalFree (SIDs and security descriptors
// in their text and binary forms).
using UniqueLocal = UniqueResource<detail::LocalTraits>;

// Restores the process error mode on scope exit.
class ScopedErrorMode {
public:
    explicit ScopedErrorMode(UINT mode) : previous_(::SetErrorMode(mode)) {}
    ScopedErrorMode(const ScopedErrorMode&) = delete;
    ScopedErrorMode& operator=(const ScopedErrorMode&) = delete;
    ~ScopedErrorMode() { ::SetErrorMode(previous_); }

private:
    UINT previous_;
};

}  // namespace cx
