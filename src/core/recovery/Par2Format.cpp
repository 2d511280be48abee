#include "core/recovery/Par2Format.h"

#include "core/recovery/Galois.h"

#include <algorithm>

namespace dividra::core::par2 {
namespace {

void Put(std::string& out, std::string_view bytes) {
    out.append(bytes);
}

void Put(std::string& out, const Md5Digest& digest) {
    Put(out, AsText(digest));
}

void PadTo4(std::string& out) {
    out.resize((out.size() + 3) / 4 * 4, '\0');
}

bool Eligible(std::uint32_t n) {
    return n % 3 != 0 && n % 5 != 0 && n % 17 != 0 && n % 257 != 0;
}

} // namespace

void PutU32(std::string& out, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        out += static_cast<char>((value >> (8 * i)) & 0xff);
    }
}

void PutU64(std::string& out, std::uint64_t value) {
    for (int i = 0; i < 8; ++i) {
        out += static_cast<char>((value >> (8 * i)) & 0xff);
    }
}

std::uint32_t GetU32(std::string_view bytes, std::size_t at) {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i) {
        value = (value << 8) | static_cast<std::uint8_t>(bytes[at + static_cast<std::size_t>(i)]);
    }
    return value;
}

std::uint64_t GetU64(std::string_view bytes, std::size_t at) {
    return GetU32(bytes, at) | (std::uint64_t{GetU32(bytes, at + 4)} << 32);
}

std::string_view AsText(const Md5Digest& digest) {
    return {reinterpret_cast<const char*>(digest.data()), digest.size()};
}

Md5Digest FileIdOf(const Md5Digest& headHash, std::uint64_t length, std::string_view name) {
    std::string bytes;
    Put(bytes, headHash);
    PutU64(bytes, length);
    Put(bytes, name);
    return Md5Of(bytes);
}

std::string MainBody(std::uint64_t sliceSize, const std::vector<Md5Digest>& fileIds) {
    std::string body;
    PutU64(body, sliceSize);
    PutU32(body, static_cast<std::uint32_t>(fileIds.size()));
    for (const Md5Digest& id : fileIds) {
        Put(body, id);
    }
    return body;
}

std::string FileDescBody(const FileEntry& file) {
    std::string body;
    Put(body, file.id);
    Put(body, file.hash);
    Put(body, file.headHash);
    PutU64(body, file.length);
    Put(body, file.name);
    PadTo4(body);
    return body;
}

std::string IfscBody(const Md5Digest& fileId, const std::vector<SliceCheck>& slices) {
    std::string body;
    Put(body, fileId);
    for (const SliceCheck& slice : slices) {
        Put(body, slice.hash);
        PutU32(body, slice.crc);
    }
    return body;
}

std::string CreatorBody(std::string_view text) {
    std::string body(text);
    PadTo4(body);
    return body;
}

void SortIds(std::vector<Md5Digest>& ids) {
    // As 16-byte little-endian numbers: the last byte weighs most.
    std::sort(ids.begin(), ids.end(), [](const Md5Digest& a, const Md5Digest& b) {
        return std::lexicographical_compare(a.rbegin(), a.rend(), b.rbegin(), b.rend());
    });
}

std::string Packet(const Md5Digest& setId, std::string_view type, std::string_view body) {
    std::string tail;
    Put(tail, setId);
    Put(tail, type);
    Put(tail, body);
    PadTo4(tail);
    std::string packet(kMagic);
    PutU64(packet, kSetIdAt + tail.size());
    Put(packet, Md5Of(tail));
    Put(packet, tail);
    return packet;
}

std::string RecoveryPacketHead(const Md5Digest& setId, std::uint32_t exponent,
                               std::string_view slice) {
    std::string tail;
    Put(tail, setId);
    Put(tail, kRecvSlicType);
    PutU32(tail, exponent);
    Md5 hash;
    hash.update(tail);
    hash.update(slice);
    std::string head(kMagic);
    PutU64(head, kHeaderBytes + 4 + slice.size());
    Put(head, hash.digest());
    Put(head, tail);
    return head;
}

std::uint64_t SliceCount(std::uint64_t length, std::uint64_t sliceSize) {
    return length / sliceSize + (length % sliceSize != 0 ? 1 : 0);
}

Md5Digest PaddedSliceHash(Md5 hash, std::int64_t dataBytes, std::int64_t sliceSize) {
    static const std::string zeros(65536, '\0');
    for (std::int64_t left = sliceSize - dataBytes; left > 0;) {
        const auto piece = static_cast<std::size_t>(
            std::min<std::int64_t>(left, static_cast<std::int64_t>(zeros.size())));
        hash.update(std::string_view(zeros).substr(0, piece));
        left -= static_cast<std::int64_t>(piece);
    }
    return hash.digest();
}

std::uint16_t InputConstant(std::int64_t index) {
    // The exponents are found once, in order; at most kMaxInputSlices of them.
    static const std::vector<std::uint16_t> constants = [] {
        std::vector<std::uint16_t> made;
        made.reserve(static_cast<std::size_t>(kMaxInputSlices));
        for (std::uint32_t n = 1; made.size() < static_cast<std::size_t>(kMaxInputSlices); ++n) {
            if (Eligible(n)) {
                made.push_back(gf16::Power(2, n));
            }
        }
        return made;
    }();
    return constants.at(static_cast<std::size_t>(index));
}

} // namespace dividra::core::par2
