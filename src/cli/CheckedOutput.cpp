#include "cli/CheckedOutput.h"

#include <cerrno>
#include <cstring>

namespace dividra::cli {

CheckedOutput::CheckedOutput(std::ostream& target)
    : m_buffer(target.rdbuf()), m_stream(&m_buffer) {}

std::optional<std::string> CheckedOutput::finish() {
    m_stream.flush();
    if (!m_buffer.failed() && m_stream.good()) {
        return std::nullopt;
    }
    const int reason = m_buffer.reason();
    return reason == 0 ? std::string("write error")
                       : "write error: " + std::string(std::strerror(reason));
}

void CheckedOutput::Buffer::fail() {
    if (!m_failed) {
        m_errno = errno;
    }
    m_failed = true;
}

CheckedOutput::Buffer::int_type CheckedOutput::Buffer::overflow(int_type c) {
    if (traits_type::eq_int_type(c, traits_type::eof())) {
        return traits_type::not_eof(c);
    }
    errno = 0;
    if (m_target == nullptr ||
        traits_type::eq_int_type(m_target->sputc(traits_type::to_char_type(c)),
                                 traits_type::eof())) {
        fail();
        return traits_type::eof();
    }
    return c;
}

std::streamsize CheckedOutput::Buffer::xsputn(const char* text, std::streamsize count) {
    errno = 0;
    const std::streamsize written = m_target == nullptr ? 0 : m_target->sputn(text, count);
    if (written < count) {
        fail();
    }
    return written;
}

int CheckedOutput::Buffer::sync() {
    errno = 0;
    if (m_target == nullptr || m_target->pubsync() == -1) {
        fail();
        return -1;
    }
    return 0;
}

} // namespace dividra::cli
