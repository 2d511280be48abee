#include "cli/Cli.h"
#include "cli/CommandLineFiles.h"
#include "cli/Interrupt.h"
#include "cli/JoinTerminal.h"
#include "cli/RecoveryReport.h"
#include "core/join/Verify.h"
#include "core/set/SegmentPath.h"

#include <optional>

namespace dividra::cli {
namespace {

std::string countText(std::int64_t count, std::string_view what) {
    return std::to_string(count) + " " + std::string(what);
}

// A line per segment, per stale segment and for the whole file's checksum line.
void reportSegments(JoinTerminal& terminal, const core::JoinSet& set,
                    const std::optional<core::JoinResult>& digests) {
    std::size_t missing = 0;
    for (const core::SegmentEntry& segment : set.segments) {
        if (segment.state == core::SegmentState::Missing && missing++ >= core::kMissingShown) {
            continue;
        }
        terminal.inform(std::string(core::FileNamePart(segment.path)) + ": " +
                        core::SegmentStateText(segment));
    }
    if (missing > core::kMissingShown) {
        terminal.inform(core::MissingCountText(set));
    }
    for (const std::string& stale : set.stale) {
        terminal.inform(std::string(core::FileNamePart(stale)) + ": not one of the " +
                        countText(set.info.segmentCount, "segments; ignored"));
    }
    if (!set.checksums.empty()) {
        const std::string state =
            !digests ? "not checked"
                     : (digests->outcome == core::JoinOutcome::Done ? "ok" : "checksum differs");
        terminal.inform(set.checksums.back().name + " (the whole file): " + state);
    }
}

} // namespace

int VerifySet(JoinTerminal& terminal, const std::string& descriptorHostPath) {
    const auto descriptor = ExistingDosPath(terminal.fs(), descriptorHostPath, EntryKind::File);
    if (!descriptor) {
        return terminal.fail(descriptor.error());
    }
    terminal.knowPaths({descriptor.value()});
    const ScopedInterruptFlag interrupts;
    auto examined = core::ExamineJoinSet(terminal.fs(), descriptor.value());
    if (!examined) {
        return terminal.fail(examined.error());
    }
    if (ScopedInterruptFlag::raised()) {
        return kExitCancelled;
    }
    core::JoinSet& set = examined.value();
    terminal.inform(descriptor.value() + ": " + countText(set.info.segmentCount, "segments") +
                    ", " + countText(set.info.totalSize, "bytes") +
                    (set.checksums.empty() ? "" : ", checksums in " + set.checksumPath));
    if (auto recovery = CheckRecoveryOf(terminal, set); recovery) {
        return ReportRecovery(terminal, set, recovery.value());
    } else if (recovery.error().code == ErrorCode::Cancelled) {
        return kExitCancelled;
    } else if (recovery.error().code != ErrorCode::NotFound) {
        terminal.inform("Recovery files not used: " + recovery.error().message);
    }
    std::optional<core::JoinResult> digests;
    if (set.complete() && !set.checksums.empty()) {
        digests = core::CheckDigests(terminal.fs(), set, terminal);
        if (digests->outcome == core::JoinOutcome::Failed ||
            digests->outcome == core::JoinOutcome::Cancelled) {
            return terminal.finish(*digests);
        }
    }
    reportSegments(terminal, set, digests);
    if (set.sizeSum != set.info.totalSize) {
        terminal.inform("The segments found hold " + countText(set.sizeSum, "bytes") + "; " +
                        std::to_string(set.info.totalSize) + " expected");
    }
    const bool whole = set.complete() && (!digests || digests->outcome == core::JoinOutcome::Done);
    terminal.inform(whole ? "The set is whole." : "The set is not whole.");
    return whole ? kExitOk : kExitFailed;
}

} // namespace dividra::cli
