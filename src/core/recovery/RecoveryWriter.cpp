#include "core/recovery/RecoveryWriter.h"

#include "core/recovery/RecoveryPass.h"
#include "core/set/SegmentPath.h"
#include "core/transfer/SafeWrite.h"
#include "core/transfer/TempFile.h"
#include "core/transfer/Transfer.h"

#include <algorithm>

namespace dividra::core {
namespace {

// Threads for the recovery slices of a pass (the MD5s and CRCs take one each).
constexpr int kWays = 2;
constexpr std::size_t kSlots = 32;
constexpr std::size_t kPassChunk = 262144;
constexpr std::string_view kCreator = "Created by Dividra";

std::span<const std::byte> Bytes(std::string_view text) {
    return std::as_bytes(std::span(text.data(), text.size()));
}

// The volumes, filled slice by slice in exponent order, each as many slices as its place takes.
class Volumes {
public:
    Volumes(platform::FileSystem& fs, std::string base, const RecoveryPlan& plan,
            const Md5Digest& setId, const std::string& index, const PlaceVolume& place)
        : m_fs(fs), m_base(std::move(base)), m_plan(plan), m_setId(setId), m_index(index),
          m_place(place) {}

    Status add(int exponent, std::span<const std::byte> slice) {
        if (!m_open) {
            if (const Status opened = open(exponent); !opened) {
                return opened;
            }
        }
        const std::string_view data(reinterpret_cast<const char*>(slice.data()), slice.size());
        const std::string head =
            par2::RecoveryPacketHead(m_setId, static_cast<std::uint32_t>(exponent), data);
        Status written = m_open->write(Bytes(head));
        written = written ? m_open->write(slice) : written;
        if (!written || --m_left > 0) {
            return written;
        }
        written = m_open->write(Bytes(m_index));
        const Status committed = written ? m_open->commit() : written;
        m_open.reset();
        return committed;
    }

private:
    Status open(int first) {
        const auto place =
            m_place(first, m_plan.recoverySlices - first,
                    m_plan.sliceSize + static_cast<std::int64_t>(par2::kHeaderBytes) + 4,
                    static_cast<std::int64_t>(m_index.size()));
        if (!place) {
            return place.error();
        }
        m_left = place.value().slices;
        auto temp = TempFile::create(
            m_fs, VolumeName(place.value().prefix + m_base, first, m_left, m_plan.recoverySlices));
        if (!temp) {
            return temp.error();
        }
        m_open = std::move(temp).value();
        return {};
    }

    platform::FileSystem& m_fs;
    std::string m_base;
    const RecoveryPlan& m_plan;
    const Md5Digest& m_setId;
    const std::string& m_index;
    const PlaceVolume& m_place;
    std::unique_ptr<TempFile> m_open;
    int m_left = 0;
};

std::vector<Md5Digest> SortedIds(const std::vector<par2::FileEntry>& files) {
    std::vector<Md5Digest> ids;
    for (const par2::FileEntry& file : files) {
        ids.push_back(file.id);
    }
    par2::SortIds(ids);
    return ids;
}

} // namespace

RecoveryWriter::RecoveryWriter(RecoveryPlan plan, std::vector<RecoverySegment> segments,
                               std::vector<std::int64_t> lengths)
    : m_plan(plan), m_segments(std::move(segments)), m_lengths(std::move(lengths)),
      m_hashes(m_segments.size()) {}

RecoveryWriter::~RecoveryWriter() = default;

Result<std::unique_ptr<RecoveryWriter>> RecoveryWriter::start(platform::File& source,
                                                              std::string_view sourcePath,
                                                              std::vector<RecoverySegment> segments,
                                                              int lost, std::int64_t passBytes,
                                                              int minPieces) {
    std::vector<std::int64_t> lengths;
    for (const RecoverySegment& segment : segments) {
        lengths.push_back(segment.length);
    }
    auto plan = PlanRecovery(lengths, lost, passBytes, minPieces);
    if (!plan) {
        return plan.error();
    }
    std::unique_ptr<RecoveryWriter> writer(
        new RecoveryWriter(plan.value(), std::move(segments), std::move(lengths)));
    writer->m_sourcePath = sourcePath;
    std::int64_t at = 0;
    std::string head;
    for (const RecoverySegment& segment : writer->m_segments) {
        head.resize(
            static_cast<std::size_t>(std::min<std::int64_t>(segment.length, par2::kHeadBytes)));
        const auto buffer = std::as_writable_bytes(std::span(head.data(), head.size()));
        Status seeked = source.seek(at);
        const auto got = seeked ? source.read(buffer) : Result<std::size_t>(seeked.error());
        if (!got || got.value() != head.size()) {
            return got ? EndedEarly(sourcePath, at + static_cast<std::int64_t>(got.value()),
                                    at + static_cast<std::int64_t>(head.size()))
                       : WithAction("Can't read", got.error());
        }
        par2::FileEntry file;
        file.name = FileNamePart(segment.path);
        file.length = static_cast<std::uint64_t>(segment.length);
        file.headHash = Md5Of(head);
        file.id = par2::FileIdOf(file.headHash, file.length, file.name);
        writer->m_files.push_back(std::move(file));
        at += segment.length;
    }
    if (const Status back = source.seek(0); !back) {
        return WithAction("Can't read", back.error());
    }
    writer->m_firstSlices = FirstSlices(writer->m_files, writer->m_plan.sliceSize);
    return writer;
}

std::vector<ChunkWorker::Consume> RecoveryWriter::consumers() {
    m_firstPass = std::make_unique<RecoverySlices>(m_plan.sliceSize, 0, m_plan.slicesPerPass);
    std::vector<ChunkWorker::Consume> all = accumulators(*m_firstPass);
    for (const SegmentPart part : {SegmentPart::Hashes, SegmentPart::Crcs}) {
        all.push_back(HashSegments(m_plan.sliceSize, m_lengths, m_hashes, part));
    }
    return all;
}

std::vector<ChunkWorker::Consume> RecoveryWriter::accumulators(RecoverySlices& slices) {
    std::vector<ChunkWorker::Consume> all;
    for (int way = 0; way < std::min(kWays, slices.count()); ++way) {
        all.push_back(
            AccumulateRecovery(m_firstSlices, slices, way, std::min(kWays, slices.count())));
    }
    return all;
}

Status RecoveryWriter::checkHeads() const {
    for (std::size_t j = 0; j < m_files.size(); ++j) {
        if (m_hashes[j].headHash != m_files[j].headHash) {
            return Error{ErrorCode::Io,
                         "Can't read " + m_sourcePath + ": it changed while it was being split"};
        }
    }
    return {};
}

std::string RecoveryWriter::indexPackets() const {
    std::string packets = par2::Packet(
        m_setId, par2::kMainType,
        par2::MainBody(static_cast<std::uint64_t>(m_plan.sliceSize), SortedIds(m_files)));
    for (std::size_t j = 0; j < m_files.size(); ++j) {
        par2::FileEntry file = m_files[j];
        file.hash = m_hashes[j].hash;
        packets += par2::Packet(m_setId, par2::kFileDescType, par2::FileDescBody(file));
        std::vector<par2::SliceCheck> checks;
        for (std::size_t s = 0; s < m_hashes[j].sliceHashes.size(); ++s) {
            checks.push_back({m_hashes[j].sliceHashes[s], m_hashes[j].sliceCrcs.at(s)});
        }
        packets += par2::Packet(m_setId, par2::kIfscType, par2::IfscBody(file.id, checks));
    }
    return packets + par2::Packet(m_setId, par2::kCreatorType, par2::CreatorBody(kCreator));
}

Status RecoveryWriter::readPass(platform::FileSystem& fs, RecoverySlices& slices,
                                const std::function<bool()>& stop) {
    Transfer transfer(kPassChunk, nullptr, stop);
    if (const Status started = transfer.startConsumers(kSlots, accumulators(slices)); !started) {
        return started;
    }
    std::unique_ptr<platform::File> source;
    if (!m_passSource.empty()) {
        auto opened = fs.openReadShared(m_passSource);
        if (!opened) {
            return WithAction("Can't read", opened.error());
        }
        source = std::move(opened).value();
    }
    return pumpSegments(transfer, fs, source.get());
}

// Every segment through the transfer, a mark after each: from `source` one after the other, or
// each from its own file.
Status RecoveryWriter::pumpSegments(Transfer& transfer, platform::FileSystem& fs,
                                    platform::File* source) {
    for (const RecoverySegment& segment : m_segments) {
        std::unique_ptr<platform::File> own;
        if (source == nullptr) {
            auto file = fs.openUnlinked(segment.path, false);
            if (!file) {
                return WithAction("Can't read", file.error());
            }
            own = std::move(file).value();
        }
        const std::string& path = source == nullptr ? segment.path : m_sourcePath;
        const Status pumped = transfer.pump(
            source == nullptr ? *own : *source, segment.length,
            [](std::span<const std::byte>) { return Status(); },
            [&](std::int64_t done) { return EndedEarly(path, done, segment.length); });
        if (!pumped) {
            return pumped;
        }
        if (const Status marked = transfer.mark(); !marked) {
            return marked;
        }
    }
    return transfer.drain();
}

Status RecoveryWriter::passOverSource(platform::FileSystem& fs, platform::File& source,
                                      const std::function<bool()>& stop) {
    m_passSource = m_sourcePath;
    Transfer transfer(kPassChunk, nullptr, stop);
    if (const Status started = transfer.startConsumers(kSlots, consumers()); !started) {
        return started;
    }
    return pumpSegments(transfer, fs, &source);
}

Status RecoveryWriter::seal() {
    if (const Status heads = checkHeads(); !heads) {
        return heads;
    }
    m_setId =
        Md5Of(par2::MainBody(static_cast<std::uint64_t>(m_plan.sliceSize), SortedIds(m_files)));
    m_index = indexPackets();
    return {};
}

Status RecoveryWriter::writeVolumes(platform::FileSystem& fs, const std::string& base,
                                    const PlaceVolume& place, const std::function<bool()>& stop) {
    Volumes volumes(fs, base, m_plan, m_setId, m_index, place);
    for (int first = 0; first < m_plan.recoverySlices; first += m_plan.slicesPerPass) {
        const int count = std::min(m_plan.slicesPerPass, m_plan.recoverySlices - first);
        std::unique_ptr<RecoverySlices> slices = std::move(m_firstPass);
        if (first > 0) {
            slices = std::make_unique<RecoverySlices>(m_plan.sliceSize, first, count);
            if (const Status pass = readPass(fs, *slices, stop); !pass) {
                return pass;
            }
        }
        for (int i = 0; i < count; ++i) {
            if (const Status added = volumes.add(first + i, slices->slice(i)); !added) {
                return added;
            }
        }
    }
    return {};
}

Status RecoveryWriter::writeIndex(platform::FileSystem& fs, const std::string& indexPath) const {
    auto temp = TempFile::create(fs, indexPath);
    if (!temp) {
        return temp.error();
    }
    const Status written = temp.value()->write(Bytes(m_index));
    return written ? temp.value()->commit() : written;
}

Status RecoveryWriter::finish(platform::FileSystem& fs, const std::string& indexPath,
                              const std::function<bool()>& stop) {
    if (const Status sealed = seal(); !sealed) {
        return sealed;
    }
    const std::string_view name = FileNamePart(indexPath);
    const std::string prefix = indexPath.substr(0, indexPath.size() - name.size());
    const std::string base(name.substr(0, name.size() - kRecoveryExtension.size()));
    const PlaceVolume inFolder = [&](int, int left, std::int64_t, std::int64_t) {
        return Result<VolumePlace>(VolumePlace{prefix, std::min(left, m_plan.slicesPerSegment)});
    };
    const Status volumes = writeVolumes(fs, base, inFolder, stop);
    return volumes ? writeIndex(fs, indexPath) : volumes;
}

} // namespace dividra::core
