#include "core/recovery/RecoveryPass.h"

#include "core/recovery/Galois.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

namespace dividra::core {
namespace {

constexpr std::size_t kZeros = 65536;
const std::byte kZeroBytes[kZeros] = {};

// Feeds `count` zero bytes: the padding of a short slice.
template <class Feed> void FeedZeros(std::int64_t count, Feed feed) {
    while (count > 0) {
        const auto piece = static_cast<std::size_t>(std::min<std::int64_t>(count, kZeros));
        feed(std::span<const std::byte>(kZeroBytes, piece));
        count -= static_cast<std::int64_t>(piece);
    }
}

// Cuts a chunk at the slice boundaries: `each(piece, sliceEnds)` in order.
template <class Each>
void BySlice(std::span<const std::byte> chunk, std::int64_t sliceSize, std::int64_t& inSlice,
             Each each) {
    while (!chunk.empty()) {
        const auto piece = static_cast<std::size_t>(
            std::min<std::int64_t>(static_cast<std::int64_t>(chunk.size()), sliceSize - inSlice));
        inSlice += static_cast<std::int64_t>(piece);
        const bool ends = inSlice == sliceSize;
        each(chunk.first(piece), ends);
        if (ends) {
            inSlice = 0;
        }
        chunk = chunk.subspan(piece);
    }
}

// The MD5s or the CRC-32s of the segments' slices: one MD5 can't be shared out between threads,
// so the MD5s have a thread to themselves and the CRCs another.
struct Hashing {
    Hashing(std::int64_t size, std::vector<std::int64_t> all, std::vector<SegmentHashes>& into,
            SegmentPart what)
        : sliceSize(size), lengths(std::move(all)), out(into), part(what) {}

    std::int64_t sliceSize;
    std::vector<std::int64_t> lengths;
    std::vector<SegmentHashes>& out;
    SegmentPart part;
    std::size_t segment = 0;
    std::int64_t offset = 0;
    std::int64_t inSlice = 0;
    std::uint32_t crc = 0;
    Md5 whole;
    Md5 head;
    Md5 slice; // only where a segment has more than one slice; else the whole one serves

    bool ownSliceHash() const { return lengths.at(segment) > sliceSize; }

    void take(std::span<const std::byte> chunk) {
        SegmentHashes& hashes = out.at(segment);
        if (part == SegmentPart::Crcs) {
            BySlice(chunk, sliceSize, inSlice, [&](std::span<const std::byte> piece, bool ends) {
                crc = Crc32(crc, piece);
                if (ends) {
                    hashes.sliceCrcs.push_back(std::exchange(crc, 0));
                }
            });
            return;
        }
        whole.update(chunk);
        if (offset < static_cast<std::int64_t>(par2::kHeadBytes)) {
            head.update(chunk.first(std::min<std::size_t>(
                chunk.size(), par2::kHeadBytes - static_cast<std::size_t>(offset))));
        }
        offset += static_cast<std::int64_t>(chunk.size());
        if (ownSliceHash()) {
            BySlice(chunk, sliceSize, inSlice, [&](std::span<const std::byte> piece, bool ends) {
                slice.update(piece);
                if (ends) {
                    hashes.sliceHashes.push_back(slice.digest());
                }
            });
        }
    }

    // The last slice, padded with zeros to the slice size.
    void endSlice(SegmentHashes& hashes) {
        if (part == SegmentPart::Crcs) {
            if (inSlice > 0) {
                FeedZeros(sliceSize - inSlice,
                          [&](std::span<const std::byte> zeros) { crc = Crc32(crc, zeros); });
                hashes.sliceCrcs.push_back(crc);
            }
            return;
        }
        const bool own = ownSliceHash();
        if (own && inSlice == 0) {
            return;
        }
        hashes.sliceHashes.push_back(own ? par2::PaddedSliceHash(slice, inSlice, sliceSize)
                                         : par2::PaddedSliceHash(whole, offset, sliceSize));
    }

    void endSegment() {
        SegmentHashes& hashes = out.at(segment);
        endSlice(hashes);
        if (part == SegmentPart::Hashes) {
            hashes.hash = whole.digest();
            hashes.headHash = head.digest();
        }
        slice = Md5();
        ++segment;
        offset = 0;
        inSlice = 0;
        crc = 0;
    }
};

// Chunks of whole words are added as they come; bytes of a chunk that splits a word are gathered
// in a stage and added a stage at a time, so the arithmetic always meets even-sized regions.
struct Accumulating {
    static constexpr std::size_t kStage = 65536;

    Accumulating(std::vector<std::int64_t> first, RecoverySlices& into, int one, int all)
        : firstSlices(std::move(first)), slices(into), way(one), ways(all) {}

    std::vector<std::int64_t> firstSlices;
    RecoverySlices& slices;
    int way;
    int ways;
    std::size_t segment = 0;
    std::int64_t sliceInSegment = 0;
    std::int64_t inSlice = 0;           // bytes of the current slice taken, staged ones too
    std::size_t staged = 0;             // bytes in the stage, which begins at inSlice - staged
    std::vector<std::uint16_t> factors; // for this consumer's slices, of the current slice
    alignas(64) std::byte stage[kStage + 2] = {};

    void startSlice() {
        const std::uint16_t constant =
            par2::InputConstant(firstSlices.at(segment) + sliceInSegment);
        factors.clear();
        for (int i = way; i < slices.count(); i += ways) {
            factors.push_back(
                gf16::Power(constant, static_cast<std::uint32_t>(slices.first() + i)));
        }
    }

    void addStage() {
        const std::size_t bytes = (staged + 1) & ~std::size_t{1};
        stage[staged] = std::byte{0}; // an odd byte's partner is padding
        const auto at = static_cast<std::size_t>(inSlice) - staged;
        std::size_t f = 0;
        for (int i = way; i < slices.count(); i += ways) {
            gf16::MultiplyAdd(std::span<const std::byte>(stage, bytes),
                              slices.slice(i).subspan(at, bytes), factors[f++]);
        }
        staged = 0;
    }

    void take(std::span<const std::byte> chunk) {
        const std::int64_t sliceSize = slices.sliceSize();
        while (!chunk.empty()) {
            if (inSlice == 0 && staged == 0) {
                startSlice();
            }
            const auto inThisSlice = static_cast<std::size_t>(std::min<std::int64_t>(
                static_cast<std::int64_t>(chunk.size()), sliceSize - inSlice));
            if (staged == 0 && inThisSlice % 2 == 0 && inSlice % 2 == 0) {
                addDirect(chunk.first(inThisSlice)); // whole words: no stage needed
                inSlice += static_cast<std::int64_t>(inThisSlice);
                chunk = chunk.subspan(inThisSlice);
            } else {
                stageFrom(chunk, std::min(inThisSlice, kStage - staged));
            }
            if (inSlice == sliceSize) {
                inSlice = 0;
                ++sliceInSegment;
            }
        }
    }

    void addDirect(std::span<const std::byte> bytes) {
        std::size_t f = 0;
        for (int i = way; i < slices.count(); i += ways) {
            gf16::MultiplyAdd(
                bytes, slices.slice(i).subspan(static_cast<std::size_t>(inSlice), bytes.size()),
                factors[f++]);
        }
    }

    void stageFrom(std::span<const std::byte>& chunk, std::size_t piece) {
        std::memcpy(stage + staged, chunk.data(), piece);
        staged += piece;
        inSlice += static_cast<std::int64_t>(piece);
        chunk = chunk.subspan(piece);
        if (staged == kStage || inSlice == slices.sliceSize()) {
            addStage();
        }
    }

    void endSegment() {
        if (staged > 0) {
            addStage();
        }
        ++segment;
        sliceInSegment = 0;
        inSlice = 0;
    }
};

template <class State> ChunkWorker::Consume Consumer(std::shared_ptr<State> state) {
    return [state](std::span<const std::byte> chunk) -> Status {
        if (chunk.empty()) {
            state->endSegment();
        } else {
            state->take(chunk);
        }
        return {};
    };
}

} // namespace

void RecoverySlices::Free::operator()(std::byte* p) const {
    std::free(p);
}

RecoverySlices::RecoverySlices(std::int64_t sliceSize, int first, int count)
    : m_sliceSize(sliceSize), m_stride((static_cast<std::size_t>(sliceSize) + 63) / 64 * 64),
      m_first(first), m_count(count) {
    const std::size_t bytes = m_stride * static_cast<std::size_t>(std::max(count, 1));
    m_data.reset(static_cast<std::byte*>(std::aligned_alloc(64, bytes)));
    if (!m_data) {
        throw std::bad_alloc();
    }
    std::memset(m_data.get(), 0, bytes);
}

std::span<std::byte> RecoverySlices::slice(int i) {
    return {m_data.get() + m_stride * static_cast<std::size_t>(i),
            static_cast<std::size_t>(m_sliceSize)};
}

ChunkWorker::Consume HashSegments(std::int64_t sliceSize, const std::vector<std::int64_t>& lengths,
                                  std::vector<SegmentHashes>& out, SegmentPart part) {
    return Consumer(std::make_shared<Hashing>(sliceSize, lengths, out, part));
}

ChunkWorker::Consume AccumulateRecovery(const std::vector<std::int64_t>& firstSlices,
                                        RecoverySlices& slices, int way, int ways) {
    return Consumer(std::make_shared<Accumulating>(firstSlices, slices, way, ways));
}

} // namespace dividra::core
