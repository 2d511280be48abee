#pragma once

#include <optional>
#include <ostream>
#include <streambuf>
#include <string>

// Standard output that remembers why a write to it failed, so the program can say so.
namespace dividra::cli {

// A stream writing through another stream's buffer. The first failed write keeps its errno.
class CheckedOutput {
public:
    explicit CheckedOutput(std::ostream& target);
    CheckedOutput(const CheckedOutput&) = delete;
    CheckedOutput& operator=(const CheckedOutput&) = delete;

    std::ostream& stream() { return m_stream; }
    // Flushes, then "write error: No space left on device" when any write failed (without the
    // reason when none was told); nothing when all went out.
    std::optional<std::string> finish();

private:
    class Buffer final : public std::streambuf {
    public:
        explicit Buffer(std::streambuf* target) : m_target(target) {}
        bool failed() const { return m_failed; }
        int reason() const { return m_errno; }

    protected:
        int_type overflow(int_type c) override;
        std::streamsize xsputn(const char* text, std::streamsize count) override;
        int sync() override;

    private:
        void fail();

        std::streambuf* m_target;
        bool m_failed = false;
        int m_errno = 0;
    };

    Buffer m_buffer;
    std::ostream m_stream;
};

} // namespace dividra::cli
