// The tool's one exception hierarchy. Handlers raise; only the driver turns an exception into the
// error box and an exit code. Messages are UTF-16 so that translated and path text survives intact.
#pragma once

#include <cstdint>
#include <exception>
#include <string>

namespace cx {

class Exception : public std::exception {
public:
    explicit Exception(std::wstring message);
    const std::wstring& Message() const noexcept { return message_; }
    // UTF-8 copy of the message, for test output and diagnostics.
    const char* what() const noexcept override { return utf8_.c_str(); }

private:
    std::wstring message_;
    std::string utf8_;
};

// Silent: the driver shows nothing for it.
class EAbort : public Exception {
public:
    EAbort() : Exception(std::wstring()) {}
};

// Carries a handler's exit code to the driver; raised only by RaiseReturn, caught only by RunCommandLine.
class EReturn : public EAbort {
public:
    explicit EReturn(std::int32_t code) : code_(code) {}
    std::int32_t Code() const noexcept { return code_; }

private:
    std::int32_t code_;
};

// RegistryEx helpers: the three "Unable to open key" messages.
class ERegistryExError : public Exception {
public:
    using Exception::Exception;
};

// The registry accessor: "Invalid data type for '%s'", "Failed to set data for '%s'".
class ERegistryException : public Exception {
public:
    using Exception::Exception;
};

// Text-to-number conversion in the user's locale.
class EConvertError : public Exception {
public:
    using Exception::Exception;
};

// A failed operating-system call, with its Win32 error code.
class EOSError : public Exception {
public:
    EOSError(std::wstring message, std::uint32_t code) : Exception(std::move(message)), code_(code) {}
    std::uint32_t ErrorCode() const noexcept { return code_; }

private:
    std::uint32_t code_;
};

// A failed COM call (HRESULT).
class EOleSysError : public Exception {
public:
    EOleSysError(std::wstring message, std::int32_t hr) : Exception(std::move(message)), hr_(hr) {}
    std::int32_t ErrorCode() const noexcept { return hr_; }

private:
    std::int32_t hr_;
};

// A failed automation call that the server described (DISP_E_EXCEPTION with EXCEPINFO).
class EOleException : public EOleSysError {
public:
    EOleException(std::wstring message, std::int32_t hr, std::wstring source)
        : EOleSysError(std::move(message), hr), source_(std::move(source)) {}
    const std::wstring& Source() const noexcept { return source_; }

private:
    std::wstring source_;
};

// A violated precondition: a programming error of the caller.
class EAssertionFailed : public Exception {
public:
    using Exception::Exception;
};

// Catalogue errors.
class EGnuGettext : public Exception {
public:
    using Exception::Exception;
};
class EGGIOError : public EGnuGettext {
public:
    using EGnuGettext::EGnuGettext;
};

}  // namespace cx
