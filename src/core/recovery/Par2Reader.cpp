// The scan of one file: a window of bounded size slides over it front to back; whatever a
// header claims is checked before a byte of it is trusted or held.
#include "core/recovery/Par2Reader.h"

#include "core/recovery/Par2Packets.h"

#include <algorithm>

namespace dividra::core::par2 {
namespace {

constexpr std::uint64_t kReadAhead = 65536;
constexpr std::uint64_t kSliceAt = kHeaderBytes + 4; // a recovery slice's data in its packet
// Long recovery slice packets hashed at once, at most: each read byte goes to each of them.
constexpr std::size_t kMaxOpen = 4;
// Whole packets hashed, at most this many times the file's size plus the slack: headers that
// claim overlapping lengths would otherwise cost time quadratic in the size.
constexpr std::uint64_t kHashFactor = 4;
constexpr std::uint64_t kHashSlack = std::uint64_t{1} << 20;

// A recovery slice packet too long to hold, hashed as its bytes stream past.
struct OpenSlice {
    std::uint64_t start = 0;
    std::uint64_t end = 0;
    std::uint64_t fed = 0; // hashed up to here
    Md5 hash;
    Md5Digest expected{};
    Md5Digest setId{};
    std::uint32_t exponent = 0;
};

class Scanner {
public:
    Scanner(PacketStore& store, std::size_t source, std::uint64_t size, std::uint64_t maxPacket,
            const ReadBytes& readBytes)
        : m_store(store), m_source(source), m_size(size), m_maxPacket(maxPacket),
          m_readBytes(readBytes) {}

    Status run();

private:
    std::uint64_t held() const { return m_at + m_window.size(); }
    std::string_view view(std::uint64_t from, std::uint64_t length) const {
        return std::string_view(m_window).substr(from - m_at, length);
    }
    Status fill(std::uint64_t end);
    void feed(std::uint64_t from);
    void seekMagic();
    Status candidate();
    Status whole(std::uint64_t length);
    Status open(std::uint64_t length);
    // Not a packet after all: look for the next one from the following byte.
    void skipOne() {
        m_store.skip();
        ++m_pos;
    }

    PacketStore& m_store;
    std::size_t m_source;
    std::uint64_t m_size;
    std::uint64_t m_maxPacket;
    const ReadBytes& m_readBytes;
    std::string m_window; // the file's bytes from m_at
    std::uint64_t m_at = 0;
    std::uint64_t m_pos = 0; // where a packet may start; m_at <= m_pos <= held()
    bool m_ended = false;
    std::uint64_t m_hashed = 0;
    bool m_stopped = false; // hashing would cost too much
    std::vector<OpenSlice> m_open;
};

Status Scanner::run() {
    while (!m_stopped) {
        if (Status filled = fill(m_pos + kHeaderBytes); !filled) {
            return filled;
        }
        const std::uint64_t left = held() - m_pos;
        if (left < kHeaderBytes) {
            if (left >= kMagic.size() && view(m_pos, kMagic.size()) == kMagic) {
                m_store.skip(); // a header cut short
            }
            break;
        }
        if (view(m_pos, kMagic.size()) != kMagic) {
            seekMagic();
        } else if (Status read = candidate(); !read) {
            return read;
        }
    }
    for (std::size_t n = 0; n < m_open.size(); ++n) {
        m_store.skip(); // the file ended before them
    }
    return {};
}

// Holds the file up to `end` (or its end), dropping what lies before m_pos.
Status Scanner::fill(std::uint64_t end) {
    end = std::min(end, m_size);
    if (held() >= end || m_ended) {
        return {};
    }
    m_window.erase(0, m_pos - m_at);
    m_at = m_pos;
    const std::uint64_t target = std::min(m_size, std::max(end, held() + kReadAhead));
    while (held() < target) {
        const std::size_t old = m_window.size();
        const std::size_t want = target - held();
        m_window.resize(old + want);
        auto got =
            m_readBytes(std::span(reinterpret_cast<std::byte*>(m_window.data()) + old, want));
        m_window.resize(old + (got ? std::min(got.value(), want) : 0));
        if (!got) {
            return got.error();
        }
        if (got.value() == 0) {
            m_ended = true;
            break;
        }
        feed(m_at + old);
    }
    return {};
}

// The open slices take the window's bytes from `from`; those complete are checked.
void Scanner::feed(std::uint64_t from) {
    for (std::size_t n = 0; n < m_open.size();) {
        OpenSlice& slice = m_open[n];
        const std::uint64_t begin = std::max(from, slice.fed);
        const std::uint64_t end = std::min(held(), slice.end);
        if (begin < end) {
            slice.hash.update(view(begin, end - begin));
            slice.fed = end;
        }
        if (slice.fed < slice.end) {
            ++n;
            continue;
        }
        if (slice.hash.digest() == slice.expected) {
            m_store.recovery(slice.setId, slice.exponent,
                             SlicePlace{m_source, slice.start + kSliceAt},
                             slice.end - slice.start - kSliceAt);
        } else {
            m_store.skip();
        }
        m_open.erase(m_open.begin() + static_cast<std::ptrdiff_t>(n));
    }
}

void Scanner::seekMagic() {
    const std::size_t found = view(m_pos + 1, held() - m_pos - 1).find(kMagic);
    if (found != std::string_view::npos) {
        m_pos += 1 + found;
    } else {
        // A magic may begin in the last bytes held.
        m_pos = std::max(m_pos + 1, held() - (kMagic.size() - 1));
    }
}

Status Scanner::candidate() {
    const std::uint64_t length = GetU64(view(m_pos, kHeaderBytes), kLengthAt);
    if (length < kHeaderBytes || length % 4 != 0 || length > m_size - m_pos) {
        skipOne();
        return {};
    }
    if (length <= m_maxPacket) {
        return whole(length);
    }
    if (view(m_pos + kTypeAt, 16) == kRecvSlicType && m_open.size() < kMaxOpen) {
        return open(length);
    }
    skipOne();
    return {};
}

Status Scanner::whole(std::uint64_t length) {
    if (Status filled = fill(m_pos + length); !filled) {
        return filled;
    }
    if (held() - m_pos < length) {
        skipOne(); // the file was shorter than its size said
        return {};
    }
    m_hashed += length;
    if (m_hashed > kHashSlack && (m_hashed - kHashSlack) / kHashFactor > m_size) {
        m_store.skip();
        m_stopped = true;
        return {};
    }
    const std::string_view packet = view(m_pos, length);
    if (Md5Of(packet.substr(kSetIdAt)) != DigestAt(packet, kHashAt)) {
        skipOne(); // its length may be the damaged field
        return {};
    }
    m_store.packet(packet, m_source, m_pos);
    m_pos += length;
    return {};
}

Status Scanner::open(std::uint64_t length) {
    if (Status filled = fill(m_pos + kSliceAt); !filled) {
        return filled;
    }
    if (held() - m_pos < kSliceAt) {
        skipOne();
        return {};
    }
    const std::string_view head = view(m_pos, kSliceAt);
    OpenSlice slice;
    slice.start = m_pos;
    slice.end = m_pos + length;
    slice.fed = m_pos + kSetIdAt;
    slice.expected = DigestAt(head, kHashAt);
    slice.setId = DigestAt(head, kSetIdAt);
    slice.exponent = GetU32(head, kHeaderBytes);
    m_open.push_back(std::move(slice));
    feed(m_pos + kSetIdAt);
    // Scanned on, not jumped over: were its length the damaged field, the next packet lies inside.
    m_pos += kMagic.size();
    return {};
}

} // namespace

Par2Reader::Par2Reader(std::uint64_t maxPacketBytes)
    : m_maxPacketBytes(std::max(maxPacketBytes, kSliceAt)),
      m_store(std::make_unique<PacketStore>()) {}

Par2Reader::~Par2Reader() = default;

Status Par2Reader::read(std::string name, std::uint64_t size, const ReadBytes& readBytes) {
    m_sources.push_back(std::move(name));
    return Scanner(*m_store, m_sources.size() - 1, size, m_maxPacketBytes, readBytes).run();
}

Status Par2Reader::read(std::string name, std::string_view bytes) {
    std::size_t at = 0;
    const ReadBytes readBytes = [&](std::span<std::byte> buffer) -> Result<std::size_t> {
        const std::size_t count = std::min(buffer.size(), bytes.size() - at);
        std::copy_n(reinterpret_cast<const std::byte*>(bytes.data()) + at, count, buffer.data());
        at += count;
        return count;
    };
    return read(std::move(name), bytes.size(), readBytes);
}

Status Par2Reader::read(std::string name, platform::File& file) {
    const Result<std::int64_t> size = file.size();
    if (!size) {
        return size.error();
    }
    const ReadBytes readBytes = [&](std::span<std::byte> buffer) { return file.read(buffer); };
    return read(std::move(name),
                static_cast<std::uint64_t>(std::max<std::int64_t>(size.value(), 0)), readBytes);
}

Result<RecoverySet> Par2Reader::finish() const {
    return m_store->finish(m_sources);
}

} // namespace dividra::core::par2
