#include "core/recovery/Repair.h"

#include "core/recovery/Galois.h"
#include "core/recovery/RecoveryPass.h"
#include "core/set/SegmentPath.h"
#include "core/transfer/SafeWrite.h"
#include "core/transfer/TempFile.h"
#include "core/transfer/Transfer.h"

#include <algorithm>
#include <cstring>
#include <map>

namespace dividra::core {
namespace {

// The parity and the rebuilt slices of one stripe stay within this.
constexpr std::int64_t kStripeBytes = std::int64_t{128} << 20;

struct Unknown {
    std::size_t file;
    std::int64_t slice; // in its file
};

std::vector<Unknown> UnknownsOf(const RecoveryState& state) {
    std::vector<Unknown> unknowns;
    for (std::size_t f = 0; f < state.files.size(); ++f) {
        const std::vector<bool>& good = state.files[f].goodSlices;
        for (std::size_t s = 0; s < good.size(); ++s) {
            if (!good[s]) {
                unknowns.push_back({f, static_cast<std::int64_t>(s)});
            }
        }
    }
    return unknowns;
}

// Bytes [at, at + out.size()) of a file that holds `length` bytes of data: zeros beyond them.
Status ReadAt(platform::File& file, std::int64_t at, std::int64_t length,
              std::span<std::byte> out) {
    const auto want = static_cast<std::size_t>(
        std::clamp<std::int64_t>(length - at, 0, static_cast<std::int64_t>(out.size())));
    std::size_t got = 0;
    if (want > 0) {
        const Status seeked = file.seek(at);
        const auto read = seeked ? file.read(out.first(want)) : Result<std::size_t>(seeked.error());
        if (!read) {
            return WithAction("Can't read", read.error());
        }
        got = read.value();
    }
    std::memset(out.data() + got, 0, out.size() - got);
    return {};
}

std::uint16_t Factor(std::int64_t inputSlice, std::uint32_t exponent) {
    return gf16::Power(par2::InputConstant(inputSlice), exponent);
}

class Rebuild {
public:
    // `aside`: the folder prefix the copies go to; empty: in place.
    Rebuild(platform::FileSystem& fs, const RecoveryState& state, const std::function<bool()>& stop,
            std::string aside = {})
        : m_fs(fs), m_state(state), m_stop(stop), m_unknowns(UnknownsOf(state)),
          m_size(static_cast<std::int64_t>(state.set.sliceSize)), m_aside(std::move(aside)) {}

    // Writes and checks every copy; what the files are then for in place or aside.
    Status build();
    Result<std::vector<std::string>> commit();
    Result<RebuiltAside> keepAside();

private:
    Status solve();
    Status open();
    Status stripe(std::int64_t at, std::int64_t width);
    Status addKnown(RecoverySlices& parity, std::int64_t at, std::int64_t width);
    Status copyGoodSlices();
    Status checkOutputs();
    std::size_t count() const { return m_unknowns.size(); }

    platform::FileSystem& m_fs;
    const RecoveryState& m_state;
    const std::function<bool()>& m_stop;
    std::vector<Unknown> m_unknowns;
    std::int64_t m_size; // of a slice
    std::vector<std::uint32_t> m_exponents;
    std::vector<std::uint16_t> m_inverse;
    std::vector<std::unique_ptr<platform::File>> m_inputs;      // per file of the set, when there
    std::vector<std::unique_ptr<platform::File>> m_recovery;    // per recovery file
    std::map<std::size_t, std::unique_ptr<TempFile>> m_outputs; // per segment rebuilt
    std::string m_aside;
};

Status Rebuild::solve() {
    const std::size_t m = count();
    for (const auto& entry : m_state.set.recovery) {
        if (m_exponents.size() < m) {
            m_exponents.push_back(entry.first);
        }
    }
    std::vector<std::uint16_t> matrix(m * m);
    for (std::size_t r = 0; r < m; ++r) {
        for (std::size_t k = 0; k < m; ++k) {
            const Unknown& unknown = m_unknowns[k];
            matrix[r * m + k] =
                Factor(m_state.files[unknown.file].firstSlice + unknown.slice, m_exponents[r]);
        }
    }
    auto inverse = InvertMatrix(std::move(matrix), m);
    if (!inverse) {
        return Error{ErrorCode::InvalidArgument,
                     "the recovery slices at hand can't rebuild the slices lost"};
    }
    m_inverse = std::move(*inverse);
    return {};
}

Status Rebuild::open() {
    m_inputs.resize(m_state.files.size());
    for (std::size_t f = 0; f < m_state.files.size(); ++f) {
        const ProtectedFile& file = m_state.files[f];
        const bool some = std::find(file.goodSlices.begin(), file.goodSlices.end(), true) !=
                          file.goodSlices.end();
        if (some && !file.path.empty()) {
            auto opened = m_fs.openUnlinked(file.path, true);
            if (!opened) {
                return WithAction("Can't read", opened.error());
            }
            m_inputs[f] = std::move(opened).value();
        }
        const bool lost =
            file.state == ProtectedState::Missing || file.state == ProtectedState::Damaged;
        // A segment is one of the descriptor's names: safe to write aside even where it has no
        // place of its own yet.
        if (file.segment && lost && (!file.path.empty() || !m_aside.empty())) {
            auto temp = TempFile::create(m_fs, m_aside.empty() ? file.path : m_aside + file.name);
            if (!temp) {
                return temp.error();
            }
            m_outputs[f] = std::move(temp).value();
        }
    }
    for (const std::string& path : m_state.recoveryPaths) {
        auto opened = m_fs.openUnlinked(path, true);
        if (!opened) {
            return WithAction("Can't read", opened.error());
        }
        m_recovery.push_back(std::move(opened).value());
    }
    return {};
}

Status Rebuild::addKnown(RecoverySlices& parity, std::int64_t at, std::int64_t width) {
    RecoverySlices buffer(width, 0, 1);
    for (std::size_t f = 0; f < m_state.files.size(); ++f) {
        const ProtectedFile& file = m_state.files[f];
        for (std::size_t s = 0; m_inputs[f] && s < file.goodSlices.size(); ++s) {
            if (!file.goodSlices[s]) {
                continue;
            }
            if (m_stop && m_stop()) {
                return StoppedOnRequest();
            }
            const std::int64_t start = static_cast<std::int64_t>(s) * m_size + at;
            if (const Status read = ReadAt(*m_inputs[f], start, file.length, buffer.slice(0));
                !read) {
                return read;
            }
            for (std::size_t r = 0; r < count(); ++r) {
                gf16::MultiplyAdd(
                    buffer.slice(0), parity.slice(static_cast<int>(r)),
                    Factor(file.firstSlice + static_cast<std::int64_t>(s), m_exponents[r]));
            }
        }
    }
    return {};
}

Status Rebuild::stripe(std::int64_t at, std::int64_t width) {
    const int m = static_cast<int>(count());
    RecoverySlices parity(width, 0, m);
    for (int r = 0; r < m; ++r) {
        const par2::SlicePlace& place =
            m_state.set.recovery.at(m_exponents[static_cast<std::size_t>(r)]);
        const auto offset = static_cast<std::int64_t>(place.offset);
        if (const Status read =
                ReadAt(*m_recovery.at(place.source), offset + at, offset + m_size, parity.slice(r));
            !read) {
            return read;
        }
    }
    if (const Status known = addKnown(parity, at, width); !known) {
        return known;
    }
    RecoverySlices out(width, 0, m);
    for (int k = 0; k < m; ++k) {
        for (int r = 0; r < m; ++r) {
            gf16::MultiplyAdd(parity.slice(r), out.slice(k),
                              m_inverse[static_cast<std::size_t>(k * m + r)]);
        }
        const Unknown& unknown = m_unknowns[static_cast<std::size_t>(k)];
        const auto output = m_outputs.find(unknown.file);
        const std::int64_t start = unknown.slice * m_size + at;
        const std::int64_t valid =
            std::clamp<std::int64_t>(m_state.files[unknown.file].length - start, 0, width);
        if (output == m_outputs.end() || valid == 0) {
            continue;
        }
        const Status seeked = output->second->file().seek(start);
        const Status written =
            seeked ? output->second->write(out.slice(k).first(static_cast<std::size_t>(valid)))
                   : seeked;
        if (!written) {
            return written;
        }
    }
    return {};
}

Status Rebuild::copyGoodSlices() {
    constexpr std::int64_t kPiece = 262144;
    RecoverySlices buffer(kPiece, 0, 1);
    for (const auto& [f, output] : m_outputs) {
        const ProtectedFile& file = m_state.files[f];
        for (std::size_t s = 0; m_inputs[f] && s < file.goodSlices.size(); ++s) {
            const std::int64_t begin = static_cast<std::int64_t>(s) * m_size;
            const std::int64_t end = std::min(begin + m_size, file.length);
            for (std::int64_t at = begin; file.goodSlices[s] && at < end; at += kPiece) {
                const auto piece = static_cast<std::size_t>(std::min(kPiece, end - at));
                const auto bytes = buffer.slice(0).first(piece);
                Status done = ReadAt(*m_inputs[f], at, file.length, bytes);
                done = done ? output->file().seek(at) : done;
                done = done ? output->write(bytes) : done;
                if (!done) {
                    return done;
                }
            }
        }
    }
    return {};
}

Status Rebuild::checkOutputs() {
    for (const auto& [f, output] : m_outputs) {
        const par2::FileEntry& entry = m_state.set.files.at(m_state.set.fileIds.at(f));
        if (const Status flushed = FlushWritten(output->file()); !flushed) {
            return flushed;
        }
        const auto matches = FileMatches(
            m_fs, output->path(), static_cast<std::int64_t>(entry.length), entry.hash, m_stop);
        if (!matches) {
            return matches.error();
        }
        if (!matches.value()) {
            return Error{ErrorCode::Io,
                         output->finalPath() + ": the recovery data did not rebuild it"};
        }
    }
    return {};
}

Status Rebuild::build() {
    const auto needed = static_cast<std::int64_t>(count());
    if (needed > m_state.slicesAvailable || needed > kMaxRepairSlices) {
        return Error{ErrorCode::InvalidArgument,
                     std::to_string(needed) + (needed == 1 ? " slice" : " slices") +
                         " must be rebuilt and the recovery files hold " +
                         std::to_string(m_state.slicesAvailable)};
    }
    Status done = needed > 0 ? solve() : Status();
    done = done ? open() : done;
    const std::int64_t width = std::clamp<std::int64_t>(
        kStripeBytes / (2 * std::max<std::int64_t>(needed, 1)) / 64 * 64, 64, m_size);
    for (std::int64_t at = 0; done && needed > 0 && at < m_size; at += width) {
        done = stripe(at, std::min(width, m_size - at));
    }
    done = done ? copyGoodSlices() : done;
    return done ? checkOutputs() : done;
}

Result<std::vector<std::string>> Rebuild::commit() {
    std::vector<std::string> rebuilt;
    for (const auto& [f, output] : m_outputs) {
        if (const Status committed = output->commit(true); !committed) {
            return committed.error();
        }
        rebuilt.push_back(m_state.files[f].name);
    }
    if (!rebuilt.empty()) {
        const std::string& path = m_state.files[m_outputs.begin()->first].path;
        if (const Status flushed = m_fs.flushFolder(FolderPart(path)); !flushed) {
            return WithAction("Can't write", flushed.error());
        }
    }
    return rebuilt;
}

Result<RebuiltAside> Rebuild::keepAside() {
    RebuiltAside aside;
    for (auto& [f, output] : m_outputs) {
        if (const Status closed = output->close(); !closed) {
            return closed.error();
        }
        aside.names.push_back(m_state.files[f].name);
        aside.paths.push_back(output->path());
        aside.files.push_back(std::move(output));
    }
    return aside;
}

} // namespace

Result<std::vector<std::string>> RepairSegments(platform::FileSystem& fs,
                                                const RecoveryState& state,
                                                const std::function<bool()>& stop) {
    Rebuild rebuild(fs, state, stop);
    if (const Status built = rebuild.build(); !built) {
        return built.error();
    }
    return rebuild.commit();
}

Result<RebuiltAside> RebuildAside(platform::FileSystem& fs, const RecoveryState& state,
                                  const std::string& prefix, const std::function<bool()>& stop) {
    Rebuild rebuild(fs, state, stop, prefix);
    if (const Status built = rebuild.build(); !built) {
        return built.error();
    }
    return rebuild.keepAside();
}

std::optional<std::vector<std::uint16_t>> InvertMatrix(std::vector<std::uint16_t> matrix,
                                                       std::size_t n) {
    std::vector<std::uint16_t> inverse(n * n, 0);
    for (std::size_t i = 0; i < n; ++i) {
        inverse[i * n + i] = 1;
    }
    const auto row = [n](std::vector<std::uint16_t>& m, std::size_t r) {
        return std::as_writable_bytes(std::span(m.data() + r * n, n));
    };
    for (std::size_t c = 0; c < n; ++c) {
        std::size_t pivot = c;
        while (pivot < n && matrix[pivot * n + c] == 0) {
            ++pivot;
        }
        if (pivot == n) {
            return std::nullopt;
        }
        for (std::size_t k = 0; pivot != c && k < n; ++k) {
            std::swap(matrix[pivot * n + k], matrix[c * n + k]);
            std::swap(inverse[pivot * n + k], inverse[c * n + k]);
        }
        const std::uint16_t scale = gf16::Inverse(matrix[c * n + c]);
        for (std::size_t k = 0; k < n; ++k) {
            matrix[c * n + k] = gf16::Multiply(matrix[c * n + k], scale);
            inverse[c * n + k] = gf16::Multiply(inverse[c * n + k], scale);
        }
        for (std::size_t r = 0; r < n; ++r) {
            const std::uint16_t factor = matrix[r * n + c];
            if (r != c && factor != 0) {
                gf16::MultiplyAdd(row(matrix, c), row(matrix, r), factor);
                gf16::MultiplyAdd(row(inverse, c), row(inverse, r), factor);
            }
        }
    }
    return inverse;
}

} // namespace dividra::core
