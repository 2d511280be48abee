#pragma once

#include <utility>

namespace dividra::platform::detail {

// Owns one host file descriptor (-1: none) and closes it when destroyed, reset or assigned
// over. Move-only, so every path out of a function releases what it opened.
class UniqueFd {
public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) noexcept : m_fd(fd) {}
    UniqueFd(UniqueFd&& other) noexcept : m_fd(other.release()) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept {
        reset(other.release());
        return *this;
    }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;
    ~UniqueFd() { reset(); }

    int get() const noexcept { return m_fd; }
    explicit operator bool() const noexcept { return m_fd >= 0; }

    // Gives up ownership without closing.
    int release() noexcept { return std::exchange(m_fd, -1); }

    // Closes the held descriptor, ignoring errors, and holds `fd` instead.
    void reset(int fd = -1) noexcept;

    // Closes now: 0, or close(2)'s error number. The descriptor is gone either way (Linux
    // releases it even on EINTR, which therefore counts as success: never retry a close).
    int close() noexcept;

private:
    int m_fd = -1;
};

} // namespace dividra::platform::detail
