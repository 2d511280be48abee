#include "core/recovery/Par2Packets.h"

#include <algorithm>

namespace dividra::core::par2 {
namespace {

constexpr std::size_t kMainFixed = 12;     // slice size, file count
constexpr std::size_t kFileDescFixed = 56; // ids, hashes, length
constexpr std::size_t kCheckBytes = 20;    // MD5 and CRC-32 of one slice
constexpr std::size_t kEntryCost = 128;    // a map node and its fixed fields, about

Error Invalid(std::string message) {
    return Error{ErrorCode::InvalidArgument, std::move(message)};
}

std::vector<Md5Digest> IdsAt(std::string_view bytes, std::size_t at, std::size_t count) {
    std::vector<Md5Digest> ids(count);
    for (std::size_t n = 0; n < count; ++n) {
        ids[n] = DigestAt(bytes, at + 16 * n);
    }
    return ids;
}

} // namespace

void PacketStore::packet(std::string_view packet, std::size_t source, std::uint64_t at) {
    const Md5Digest setId = DigestAt(packet, kSetIdAt);
    const std::string_view type = packet.substr(kTypeAt, 16);
    const std::string_view body = packet.substr(kHeaderBytes);
    if (type == kMainType) {
        main(setId, body);
    } else if (type == kFileDescType) {
        fileDesc(setId, body);
    } else if (type == kIfscType) {
        ifsc(setId, body);
    } else if (type == kRecvSlicType && body.size() >= 4) {
        recovery(setId, GetU32(body, 0), SlicePlace{source, at + kHeaderBytes + 4},
                 body.size() - 4);
    } else if (type != kCreatorType) {
        ++m_skipped;
    }
}

void PacketStore::main(const Md5Digest& setId, std::string_view body) {
    const bool shaped = body.size() >= kMainFixed && (body.size() - kMainFixed) % 16 == 0 &&
                        GetU32(body, 8) <= (body.size() - kMainFixed) / 16;
    if (!shaped || Md5Of(body) != setId || (m_main && m_main->setId != setId)) {
        ++m_skipped;
        return;
    }
    if (m_main) {
        return; // a repeat
    }
    m_main = Main{setId, GetU64(body, 0), IdsAt(body, kMainFixed, GetU32(body, 8))};
    // From now on only this set's packets are kept.
    for (auto it = m_pending.begin(); it != m_pending.end();) {
        if (it->first == setId) {
            ++it;
            continue;
        }
        m_skipped += it->second.packets;
        m_kept -= it->second.bytes;
        it = m_pending.erase(it);
    }
}

void PacketStore::fileDesc(const Md5Digest& setId, std::string_view body) {
    if (body.size() < kFileDescFixed) {
        ++m_skipped;
        return;
    }
    FileEntry file{DigestAt(body, 0), DigestAt(body, 16), DigestAt(body, 32), GetU64(body, 48),
                   std::string(body.substr(kFileDescFixed))};
    file.name.erase(file.name.find_last_not_of('\0') + 1); // the padding
    if (file.id != FileIdOf(file.headHash, file.length, file.name)) {
        ++m_skipped;
        return;
    }
    if (Pending* pending = setOf(setId)) {
        const std::size_t cost = kEntryCost + file.name.size();
        keep(*pending, pending->files, file.id, std::move(file), cost);
    }
}

void PacketStore::ifsc(const Md5Digest& setId, std::string_view body) {
    if (body.size() < 16 || (body.size() - 16) % kCheckBytes != 0 ||
        (body.size() - 16) / kCheckBytes > static_cast<std::size_t>(kMaxInputSlices)) {
        ++m_skipped;
        return;
    }
    std::vector<SliceCheck> checks((body.size() - 16) / kCheckBytes);
    for (std::size_t n = 0; n < checks.size(); ++n) {
        checks[n] =
            SliceCheck{DigestAt(body, 16 + kCheckBytes * n), GetU32(body, 32 + kCheckBytes * n)};
    }
    if (Pending* pending = setOf(setId)) {
        const std::size_t cost = kEntryCost + checks.size() * sizeof(SliceCheck);
        keep(*pending, pending->checks, DigestAt(body, 0), std::move(checks), cost);
    }
}

void PacketStore::recovery(const Md5Digest& setId, std::uint32_t exponent, SlicePlace place,
                           std::uint64_t length) {
    if (exponent > kMaxExponent) {
        ++m_skipped;
        return;
    }
    if (Pending* pending = setOf(setId)) {
        keep(*pending, pending->recovery, exponent, Slice{place, length}, kEntryCost);
    }
}

PacketStore::Pending* PacketStore::setOf(const Md5Digest& setId) {
    if (m_main && m_main->setId != setId) {
        ++m_skipped;
        return nullptr;
    }
    if (auto found = m_pending.find(setId); found != m_pending.end()) {
        return &found->second;
    }
    if (m_kept + kEntryCost > kMaxKeptBytes) {
        ++m_skipped;
        return nullptr;
    }
    m_kept += kEntryCost;
    Pending& made = m_pending[setId];
    made.bytes = kEntryCost;
    return &made;
}

template <class Map, class Value>
void PacketStore::keep(Pending& pending, Map& map, const typename Map::key_type& key, Value&& value,
                       std::size_t cost) {
    if (map.contains(key)) {
        ++pending.packets; // a repeat
        return;
    }
    if (m_kept + cost > kMaxKeptBytes) {
        ++m_skipped;
        return;
    }
    ++pending.packets;
    m_kept += cost;
    pending.bytes += cost;
    map.emplace(key, std::forward<Value>(value));
}

Status PacketStore::checkMain() const {
    const std::uint64_t size = m_main->sliceSize;
    if (size == 0 || size % 4 != 0 || size > kMaxSliceSize) {
        return Invalid("slice size " + std::to_string(size) + " is not a multiple of 4 from 4 to " +
                       std::to_string(kMaxSliceSize));
    }
    const std::size_t count = m_main->fileIds.size();
    if (count < 1 || count > kMaxFiles) {
        return Invalid("the main packet lists " + std::to_string(count) + " files, not 1 to " +
                       std::to_string(kMaxFiles));
    }
    std::vector<Md5Digest> ids = m_main->fileIds;
    std::sort(ids.begin(), ids.end());
    if (std::adjacent_find(ids.begin(), ids.end()) != ids.end()) {
        return Invalid("the main packet lists a file twice");
    }
    return {};
}

Status PacketStore::takeFiles(const Pending& pending, RecoverySet& set) const {
    std::uint64_t slices = 0;
    for (const Md5Digest& id : set.fileIds) {
        const auto file = pending.files.find(id);
        if (file == pending.files.end()) {
            continue;
        }
        const std::uint64_t count = SliceCount(file->second.length, set.sliceSize);
        if (count > static_cast<std::uint64_t>(kMaxInputSlices) - slices) {
            return Invalid("the files make more than " + std::to_string(kMaxInputSlices) +
                           " slices");
        }
        slices += count;
        set.files.insert(*file);
    }
    for (const auto& [id, checks] : pending.checks) {
        const auto file = set.files.find(id);
        if (file == set.files.end()) {
            continue; // of a file not in the set
        }
        if (checks.size() == SliceCount(file->second.length, set.sliceSize)) {
            set.checks.emplace(id, checks);
        } else {
            ++set.skipped;
        }
    }
    return {};
}

Result<RecoverySet> PacketStore::finish(std::vector<std::string> sources) const {
    if (!m_main) {
        return Invalid("no main packet");
    }
    if (Status checked = checkMain(); !checked) {
        return checked.error();
    }
    RecoverySet set{m_main->setId,      m_main->sliceSize, m_main->fileIds, {}, {}, {},
                    std::move(sources), m_skipped};
    const auto found = m_pending.find(m_main->setId);
    const Pending none;
    const Pending& pending = found != m_pending.end() ? found->second : none;
    if (Status taken = takeFiles(pending, set); !taken) {
        return taken.error();
    }
    for (const auto& [exponent, slice] : pending.recovery) {
        if (slice.length == set.sliceSize) {
            set.recovery.emplace(exponent, slice.place);
        } else {
            ++set.skipped;
        }
    }
    return set;
}

bool SafeName(std::string_view name) {
    if (name.empty() || name.front() == '/') {
        return false;
    }
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\\' || byte < 0x20 || byte == 0x7f) {
            return false;
        }
    }
    for (std::size_t start = 0; start <= name.size();) {
        const std::size_t end = std::min(name.find('/', start), name.size());
        if (name.substr(start, end - start) == "..") {
            return false;
        }
        start = end + 1;
    }
    return true;
}

} // namespace dividra::core::par2
