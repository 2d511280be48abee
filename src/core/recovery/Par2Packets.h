#pragma once

#include "core/recovery/Par2Reader.h"

#include <cstring>
#include <optional>

// The reader's store: what the packets whose hash matched give, kept by recovery set id until
// a main packet says which set is read, then that set's only.
namespace dividra::core::par2 {

// at + 16 <= bytes.size()
inline Md5Digest DigestAt(std::string_view bytes, std::size_t at) {
    Md5Digest digest{};
    std::memcpy(digest.data(), bytes.data() + at, digest.size());
    return digest;
}

class PacketStore {
public:
    // A whole packet whose hash matched, found at `at` in source `source`.
    void packet(std::string_view packet, std::size_t source, std::uint64_t at);
    // A recovery slice packet whose hash matched, its data of `length` bytes at `place`.
    void recovery(const Md5Digest& setId, std::uint32_t exponent, SlicePlace place,
                  std::uint64_t length);
    void skip() { ++m_skipped; }
    Result<RecoverySet> finish(std::vector<std::string> sources) const;

private:
    struct Slice {
        SlicePlace place;
        std::uint64_t length = 0;
    };
    struct Pending {
        std::map<Md5Digest, FileEntry> files;
        std::map<Md5Digest, std::vector<SliceCheck>> checks;
        std::map<std::uint32_t, Slice> recovery;
        std::int64_t packets = 0; // skipped if another set turns out to be read
        std::size_t bytes = 0;    // charged to m_kept
    };
    struct Main {
        Md5Digest setId{};
        std::uint64_t sliceSize = 0;
        std::vector<Md5Digest> fileIds;
    };

    void main(const Md5Digest& setId, std::string_view body);
    void fileDesc(const Md5Digest& setId, std::string_view body);
    void ifsc(const Md5Digest& setId, std::string_view body);
    // The set's store, or nullptr (counted skipped) for another set or when memory is spent.
    Pending* setOf(const Md5Digest& setId);
    // Keeps the first value of a key while memory allows.
    template <class Map, class Value>
    void keep(Pending& pending, Map& map, const typename Map::key_type& key, Value&& value,
              std::size_t cost);
    Status checkMain() const;
    Status takeFiles(const Pending& pending, RecoverySet& set) const;

    std::optional<Main> m_main;
    std::map<Md5Digest, Pending> m_pending;
    std::size_t m_kept = 0;
    std::int64_t m_skipped = 0;
};

} // namespace dividra::core::par2
