#pragma once

#include "fakes/MemoryFileSystem.h"

#include <span>
#include <string>
#include <string_view>

// Small helpers the in-memory file system's tests share.
namespace dividra::platform::test {

inline std::span<const std::byte> bytesOf(std::string_view text) {
    return std::as_bytes(std::span(text.data(), text.size()));
}

// "ok", or the code or the message of the failure.
template <class R> std::string codeOf(const R& r) {
    return r.ok() ? "ok" : std::string(errorCodeName(r.error().code));
}
template <class R> std::string messageOf(const R& r) {
    return r.ok() ? "ok" : r.error().message;
}

} // namespace dividra::platform::test
