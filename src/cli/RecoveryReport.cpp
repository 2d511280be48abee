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
    terminal.inform("Recovery files: " + state.recoveryPaths.front() +
                    (state.recoveryPaths.size() > 1
                         ? " and " + std::to_string(state.recoveryPaths.size() - 1) + " more"
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

namespace {

// The set's entries for the copies: their paths and sizes instead of the lost ones'.
void PointAtCopies(core::JoinSet& set, const core::RecoveryState& state,
                   const core::RebuiltAside& aside) {
    for (std::size_t i = 0; i < aside.names.size(); ++i) {
        for (core::SegmentEntry& segment : set.segments) {
            if (core::FileNamePart(segment.path) == aside.names[i]) {
                segment.path = aside.paths[i];
                segment.state = core::SegmentState::Ok;
                segment.size = FileNamed(state, aside.names[i])->length;
            }
        }
    }
    set.sizeSum = 0;
    for (const core::SegmentEntry& segment : set.segments) {
        set.sizeSum += std::max<std::int64_t>(segment.size, 0);
    }
}

} // namespace

Result<std::optional<core::RebuiltAside>> RebuildForJoin(JoinTerminal& terminal, core::JoinSet& set,
                                                         const std::string& outputFolder) {
    auto state = CheckRecoveryOf(terminal, set);
    if (!state && state.error().code == ErrorCode::NotFound) {
        return std::optional<core::RebuiltAside>(); // no recovery files: an ordinary join
    }
    if (!state || state.value().whole()) {
        return state ? std::optional<core::RebuiltAside>()
                     : Result<std::optional<core::RebuiltAside>>(state.error());
    }
    auto aside =
        core::RebuildAside(terminal.fs(), state.value(), core::HardDrivePrefix(outputFolder),
                           [] { return ScopedInterruptFlag::raised(); });
    if (!aside) {
        return Error{aside.error().code,
                     set.descriptorPath + ": segments are lost or damaged and can't be rebuilt: " +
                         aside.error().message};
    }
    PointAtCopies(set, state.value(), aside.value());
    std::vector<std::string> names = aside.value().names;
    std::sort(names.begin(), names.end());
    for (const std::string& name : names) {
        terminal.inform("Rebuilt " + name +
                        " from the recovery files for the join; the set stays as it was");
    }
    return std::optional<core::RebuiltAside>(std::move(aside).value());
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
    // Every copy was read back against its hash before it took its name: the set is whole.
    terminal.inform("The set is whole.");
    return kExitOk;
}

} // namespace dividra::cli
