#pragma once

#include <cassert>
#include <string>
#include <utility>
#include <variant>

namespace dividra {

// What kind of failure an operation met; the message says where and why.
enum class ErrorCode {
    NotFound,         // the file does not exist
    PathNotFound,     // a folder of the path, or the drive letter, does not exist
    AccessDenied,     // permissions, read-only attribute, a folder where a file was expected
    SharingViolation, // another open handle holds a conflicting lock
    DiskFull,         // the medium has no room for the bytes asked
    NotReady,         // removable drive without a medium, or the medium vanished
    InvalidName,      // a name that can't be shown or used in DOS form
    InvalidArgument,  // a malformed request (bad drive table entry, bad size, ...)
    Io,               // any other input/output failure
    SameFile,         // the operation would overwrite the file it reads from
    AlreadyExists,    // a fresh file was asked for and an entry of that name is there
    Cancelled,        // stopped on request (Ctrl-C, a cancel)
};

// A failure crossing a layer: a code for decisions, a message for people.
// The message names the object (path, entry) and the reason, e.g.
// "c:\out\data.001: No space left on device".
struct Error {
    ErrorCode code;
    std::string message;
};

// The value of an operation or the Error that stopped it.
template <class T> class [[nodiscard]] Result {
public:
    Result(T value) : m_state(std::move(value)) {}
    Result(Error error) : m_state(std::move(error)) {}

    bool ok() const { return m_state.index() == 0; }
    explicit operator bool() const { return ok(); }

    T& value() & {
        assert(ok());
        return std::get<0>(m_state);
    }
    const T& value() const& {
        assert(ok());
        return std::get<0>(m_state);
    }
    T&& value() && {
        assert(ok());
        return std::get<0>(std::move(m_state));
    }
    const Error& error() const {
        assert(!ok());
        return std::get<1>(m_state);
    }

private:
    std::variant<T, Error> m_state;
};

// Success or the Error that stopped an operation without a value.
class [[nodiscard]] Status {
public:
    Status() = default;
    Status(Error error) : m_error(std::move(error)), m_failed(true) {}

    bool ok() const { return !m_failed; }
    explicit operator bool() const { return ok(); }
    const Error& error() const {
        assert(m_failed);
        return m_error;
    }

private:
    Error m_error{ErrorCode::Io, {}};
    bool m_failed = false;
};

} // namespace dividra
