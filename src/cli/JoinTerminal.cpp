#include "cli/JoinTerminal.h"

#include "cli/Cli.h"
#include "cli/Interrupt.h"

#include <ostream>
#include <utility>

namespace dividra::cli {

Result<std::unique_ptr<JoinTerminal>> JoinTerminal::open(const CliContext& context,
                                                         std::istream& in, std::ostream& out,
                                                         std::ostream& err, bool showProgress) {
    if (const Status ready = context.ready(); !ready) {
        return ready.error();
    }
    return std::make_unique<JoinTerminal>(context, in, out, err, showProgress);
}

JoinTerminal::JoinTerminal(const CliContext& context, std::istream& in, std::ostream& out,
                           std::ostream& err, bool showProgress)
    : m_fs(context.fs), m_drives(context.drives), m_progress({}, m_fs, err, showProgress),
      m_boxes(in, out, err, [this] { m_progress.endProgressLine(); }), m_scope(m_boxes) {
    m_paths.emplace(m_fs, std::vector<std::string>{});
}

JoinTerminal::~JoinTerminal() {
    m_progress.endProgressLine();
}

void JoinTerminal::knowPaths(std::vector<std::string> paths) {
    m_paths.emplace(m_fs, std::move(paths));
}

void JoinTerminal::inform(std::string_view text) {
    ShowInfoMessage(annotate(text));
}

int JoinTerminal::fail(const Error& error) {
    m_progress.setProgress(0);
    ShowErrorMessage(annotate(error.message));
    // Usage was checked before: a malformed descriptor is a refusal, not bad usage.
    return kExitFailed;
}

int JoinTerminal::finish(const core::JoinResult& result) {
    m_progress.setProgress(0);
    switch (result.outcome) {
    case core::JoinOutcome::Done:
        inform(result.message);
        return kExitOk;
    case core::JoinOutcome::Cancelled:
        return kExitCancelled;
    case core::JoinOutcome::Refused:
    case core::JoinOutcome::Failed:
        break;
    }
    // The engine's refusal names the output; the switch that overrides it is ours to name.
    const bool forceWould = result.cause == ErrorCode::AlreadyExists;
    ShowErrorMessage(annotate(result.message + (forceWould ? "; give --force to replace it" : "")));
    return kExitFailed;
}

bool JoinTerminal::askOkCancel(std::string_view text) {
    return AskOkCancel(annotate(text)) == IDOK && !ScopedInterruptFlag::raised();
}

void JoinTerminal::progressChanged(int parts) {
    m_progress.setProgress(parts);
}

bool JoinTerminal::cancelRequested() {
    return ScopedInterruptFlag::raised();
}

} // namespace dividra::cli
