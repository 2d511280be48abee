#include "core/join/DisketteJoin.h"

#include "core/join/JoinOutput.h"
#include "core/set/ChecksumFile.h"
#include "core/set/Descriptor.h"
#include "core/set/DescriptorRead.h"
#include "core/set/SegmentPath.h"
#include "core/transfer/SafeWrite.h"
#include "core/transfer/Sha256.h"

#include <optional>
#include <vector>

namespace dividra::core {
namespace {

class DisketteJoin {
public:
    DisketteJoin(platform::FileSystem& fs, const DisketteJoinRequest& request,
                 DisketteJoinObserver& observer)
        : m_fs(fs), m_request(request), m_observer(observer), m_prefix(FloppyPrefix(request.drive)),
          m_baseName(request.name) {}

    JoinResult run();

private:
    bool exists(const std::string& path) const { return m_fs.fileId(path).has_value(); }
    std::string setPath(std::string_view extension) const {
        return m_prefix + m_baseName + std::string(extension);
    }
    Result<std::string> findBaseName() const;
    Status copySegment(JoinWriter& writer, const std::string& path);
    Result<DescriptorInfo> readDescriptor() const;
    JoinResult finish(JoinWriter& writer, const DescriptorInfo& info);
    Status checkDigests(JoinWriter& writer);
    static JoinResult cancelled() { return {JoinOutcome::Cancelled, std::string(kCancelledText)}; }

    // What one diskette in the drive gave: the join's end, or a problem to ask again with, or
    // (neither) the next diskette.
    struct Step {
        std::optional<JoinResult> end;
        std::string problem;
    };
    std::optional<Step> prepare();
    Step takeDiskette(int number);

    platform::FileSystem& m_fs;
    const DisketteJoinRequest& m_request;
    DisketteJoinObserver& m_observer;
    std::string m_prefix;
    std::string m_baseName;
    std::vector<std::string> m_segmentPaths;
    std::vector<std::string> m_digests;
    std::optional<JoinWriter> m_writer; // from the first diskette with the set on
};

// The one set whose first segment is on the diskette: "data" for "a:\DATA.000".
Result<std::string> DisketteJoin::findBaseName() const {
    const auto found = m_fs.find(m_prefix + "*" + SegmentExtension(0), 0);
    if (!found) {
        return found.error();
    }
    if (found.value().size() != 1) {
        return Error{ErrorCode::NotFound,
                     found.value().empty()
                         ? "No first segment (NAME.000) on diskette #1"
                         : "More than one first segment on diskette #1; name the set to join"};
    }
    const std::string& name = found.value().front().name;
    return name.substr(0, name.size() - SegmentExtension(0).size());
}

Status DisketteJoin::copySegment(JoinWriter& writer, const std::string& path) {
    auto opened = m_fs.openUnlinked(path, false);
    if (!opened) {
        return WithAction("Can't open", opened.error());
    }
    const auto size = opened.value()->size();
    if (!size) {
        return WithAction("Can't read", size.error());
    }
    Sha256 hash;
    ProgressCount progress = JoinProgress(m_observer, size.value());
    const Status copied = writer.append(*opened.value(), path, size.value(), &hash, progress);
    progress.clear();
    if (!copied) {
        return copied;
    }
    m_segmentPaths.push_back(path);
    m_digests.push_back(hash.hexDigest());
    return {};
}

// With a checksum file beside the descriptor: every segment and the whole against it.
Status DisketteJoin::checkDigests(JoinWriter& writer) {
    const std::string path = setPath(kChecksumExtension);
    if (!exists(path)) {
        return {};
    }
    const auto text = ReadSmallFile(m_fs, path, kMaxChecksumBytes);
    if (!text) {
        return text.error();
    }
    const auto lines = ReadChecksumText(text.value());
    if (!lines) {
        return Error{ErrorCode::InvalidArgument, path + ": " + lines.error().message};
    }
    if (const Status named = CheckChecksumNames(lines.value(), m_segmentPaths, path); !named) {
        return named;
    }
    for (std::size_t i = 0; i < m_digests.size(); ++i) {
        if (m_digests[i] != lines.value()[i].digest) {
            return Error{ErrorCode::InvalidArgument,
                         m_segmentPaths[i] + ": checksum differs from " + path};
        }
    }
    if (writer.wholeDigest() != lines.value().back().digest) {
        return Error{ErrorCode::InvalidArgument,
                     WholeDigestDiffers(lines.value().back().name, path)};
    }
    return {};
}

Result<DescriptorInfo> DisketteJoin::readDescriptor() const {
    const std::string path = setPath(kDescriptorExtension);
    const auto text = ReadSmallFile(m_fs, path, kMaxDescriptorBytes);
    if (!text) {
        return text.error();
    }
    auto info = ReadDescriptorText(text.value());
    if (!info) {
        return Error{ErrorCode::InvalidArgument, path + ": " + info.error().message};
    }
    return info;
}

// The diskette in the drive holds the descriptor: the set must be what it describes.
JoinResult DisketteJoin::finish(JoinWriter& writer, const DescriptorInfo& info) {
    const std::string path = setPath(kDescriptorExtension);
    const auto read = static_cast<int>(m_segmentPaths.size());
    if (info.segmentCount != read || info.totalSize != writer.written()) {
        return {JoinOutcome::Refused, path + " describes " + std::to_string(info.segmentCount) +
                                          " segments of " + std::to_string(info.totalSize) +
                                          " bytes; " + std::to_string(read) + " segments of " +
                                          std::to_string(writer.written()) + " bytes were read"};
    }
    if (const Status checked = checkDigests(writer); !checked) {
        return {JoinOutcome::Refused, checked.error().message};
    }
    if (const Status named = writer.retarget(m_baseName + info.extension, m_request.force);
        !named) {
        return {JoinOutcome::Refused, named.error().message, named.error().code};
    }
    if (const Status committed = writer.commit(); !committed) {
        return {JoinOutcome::Failed, committed.error().message};
    }
    return {JoinOutcome::Done, JoinedText(m_segmentPaths.size(), writer)};
}

// The set's name and the temporary, the first time a diskette is there to give them.
std::optional<DisketteJoin::Step> DisketteJoin::prepare() {
    if (m_baseName.empty()) {
        const auto name = findBaseName();
        if (!name) {
            return Step{std::nullopt, name.error().message};
        }
        m_baseName = name.value();
    }
    if (m_writer) {
        return std::nullopt;
    }
    // The extension comes with the descriptor, at the end: until then the temporary carries
    // the base name, and the final name is checked before the rename.
    auto target = PrepareJoinTarget(m_fs, m_request.outputFolder, m_baseName, true, {}, 0);
    if (!target) {
        return Step{JoinResult{JoinOutcome::Refused, target.error().message}, {}};
    }
    m_writer.emplace(m_fs, std::move(target).value(), true,
                     [this] { return m_observer.cancelRequested(); });
    if (const Status created = m_writer->create(); !created) {
        return Step{JoinResult{JoinOutcome::Failed, created.error().message}, {}};
    }
    return std::nullopt;
}

DisketteJoin::Step DisketteJoin::takeDiskette(int number) {
    if (auto prepared = prepare()) {
        return *prepared;
    }
    const std::string segment = SegmentPath(m_prefix, m_baseName, number - 1);
    const bool hasDescriptor = exists(setPath(kDescriptorExtension));
    const auto info = hasDescriptor ? readDescriptor() : Error{ErrorCode::NotFound, ""};
    if (hasDescriptor && !info) {
        return {JoinResult{JoinOutcome::Refused, info.error().message}, {}};
    }
    if (!exists(segment)) {
        // A descriptor alone ends the set only on the diskette after its last segment; else
        // this is a later diskette of the set, put in too soon.
        if (info && info.value().segmentCount == number - 1) {
            return {finish(*m_writer, info.value()), {}};
        }
        return {std::nullopt, "This diskette doesn't hold " + segment};
    }
    if (const Status copied = copySegment(*m_writer, segment); !copied) {
        return {copied.error().code == ErrorCode::Cancelled
                    ? cancelled()
                    : JoinResult{JoinOutcome::Failed, copied.error().message},
                {}};
    }
    return {info ? std::optional(finish(*m_writer, info.value())) : std::nullopt, {}};
}

JoinResult DisketteJoin::run() {
    std::string problem;
    for (int number = 1; number <= kMaxJoinSegments + 1;) {
        if (!m_observer.askForDiskette(number, problem)) {
            return cancelled();
        }
        const Step step = takeDiskette(number);
        if (step.end) {
            return *step.end;
        }
        problem = step.problem;
        number += problem.empty() ? 1 : 0;
    }
    return {JoinOutcome::Refused,
            "No descriptor after " + std::to_string(kMaxJoinSegments) + " diskettes"};
}

} // namespace

JoinResult JoinFromDiskettes(platform::FileSystem& fs, const DisketteJoinRequest& request,
                             DisketteJoinObserver& observer) {
    return DisketteJoin(fs, request, observer).run();
}

} // namespace dividra::core
