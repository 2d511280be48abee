#include "cli/RecoveryReport.h"

#include "cli/Cli.h"
#include "cli/CommandLineFiles.h"
#include "cli/Interrupt.h"
#include "core/recovery/Repair.h"
#include "core/set/SegmentPath.h"

#include <algorithm>

namespace dividra::cli {
namespace {

const core::ProtectedFile* FileNamed(const core::RecoveryState& state, std::string_view name) {
    const auto found =
        std::find_if(state.files.begin(), state.files.end(),
                     [&](const core::ProtectedFile& file) { return file.name == name; });
    return found == state.files.end() ? nullptr : &*found;
}

// The segments the recovery files can't see to, beside those they found lost.
std::int64_t SegmentsToRepair(const core::JoinSet& set, const core::RecoveryState& state) {
    std::int64_t count = 0;
    for (const core::SegmentEntry& segment : set.segments) {
        const core::ProtectedFile* file = FileNamed(state, core::FileNamePart(segment.path));
        const bool lost = file == nullptr || file->state == core::ProtectedState::NotProtected
                              ? segment.state != core::SegmentState::Ok
                              : file->state != core::ProtectedState::Ok;
        count += lost ? 1 : 0;
    }
    return count;
}

std::string Plural(std::int64_t count, std::string_view one, std::string_view more) {
    return std::to_string(count) + " " + std::string(count == 1 ? one : more);
}

} // namespace

Result<core::RecoveryState> CheckRecoveryOf(JoinTerminal& terminal, const core::JoinSet& set) {
    std::vector<std::string> paths;
    for (const core::SegmentEntry& segment : set.segments) {
        paths.push_back(segment.path);
    }
    return core::CheckAgainstRecovery(terminal.fs(), set.descriptorPath, paths,
                                      [] { return ScopedInterruptFlag::raised(); });
}

int ReportRecovery(JoinTerminal& terminal, const core::JoinSet& set,
                   const core::RecoveryState& state) {
    terminal.inform(
        "Recovery files: " + state.recoveryPaths.front() +
        (state.recoveryPaths.size() > 1
             ? " and " +
                   Plural(static_cast<std::int64_t>(state.recoveryPaths.size()) - 1, "more", "more")
             : ""));
    for (const core::SegmentEntry& segment : set.segments) {
        const std::string name(core::FileNamePart(segment.path));
        const core::ProtectedFile* file = FileNamed(state, name);
        const bool described = file != nullptr && file->state != core::ProtectedState::NotProtected;
        terminal.inform(
            name + ": " +
            (described ? core::ProtectedStateText(*file) : core::SegmentStateText(segment)));
    }
    const std::int64_t lost = SegmentsToRepair(set, state);
    if (lost == 0 && state.whole()) {
        terminal.inform("The set is whole.");
        return kExitOk;
    }
    const std::string needs =
        Plural(lost, "segment needs", "segments need") +
        " repair: " + Plural(state.slicesNeeded, "slice", "slices") + " to rebuild, " +
        Plural(state.slicesAvailable, "recovery slice", "recovery slices") + " at hand";
    terminal.inform(needs + (state.repairable() ? "; dividra-cli repair can rebuild them."
                                                : "; too few to rebuild them."));
    return kExitFailed;
}

int RepairSet(JoinTerminal& terminal, const std::string& descriptorHostPath) {
    const auto descriptor = ExistingDosPath(terminal.fs(), descriptorHostPath, EntryKind::File);
    if (!descriptor) {
        return terminal.fail(descriptor.error());
    }
    terminal.knowPaths({descriptor.value()});
    const ScopedInterruptFlag interrupts;
    auto set = core::ExamineJoinSet(terminal.fs(), descriptor.value());
    auto state =
        set ? CheckRecoveryOf(terminal, set.value()) : Result<core::RecoveryState>(set.error());
    if (!state) {
        return state.error().code == ErrorCode::Cancelled ? kExitCancelled
                                                          : terminal.fail(state.error());
    }
    if (state.value().whole()) {
        terminal.inform("The set is whole: nothing to repair.");
        return kExitOk;
    }
    auto rebuilt = core::RepairSegments(terminal.fs(), state.value(),
                                        [] { return ScopedInterruptFlag::raised(); });
    if (!rebuilt) {
        return rebuilt.error().code == ErrorCode::Cancelled
                   ? kExitCancelled
                   : terminal.fail(Error{rebuilt.error().code, descriptor.value() + ": " +
                                                                   rebuilt.error().message +
                                                                   "; nothing was changed"});
    }
    const std::string prefix = core::HardDrivePrefix(core::FolderPart(descriptor.value()));
    std::sort(rebuilt.value().begin(), rebuilt.value().end());
    for (const std::string& name : rebuilt.value()) {
        terminal.inform("Rebuilt " + prefix + name);
    }
    auto after = CheckRecoveryOf(terminal, set.value());
    if (!after || !after.value().whole()) {
        return terminal.fail(
            Error{ErrorCode::Io, descriptor.value() + ": not whole after the repair"});
    }
    terminal.inform("The set is whole.");
    return kExitOk;
}

} // namespace dividra::cli
