#include "cli/TerminalHost.h"

#include "cli/Interrupt.h"
#include "core/transfer/Progress.h"
#include "util/MessageBoxes.h"

#include <algorithm>
#include <ostream>
#include <string>
#include <utility>

namespace dividra::cli {

TerminalHost::TerminalHost(const core::SplitRequest& request, const platform::FileSystem& fs,
                           std::ostream& err, bool showProgress)
    : m_paths(fs, {request.sourceLongPath, request.sourceShortPath, request.destinationFolder}),
      m_err(err), m_showProgress(showProgress) {}

int TerminalHost::showInfoMessage(std::string_view text) {
    return SplitHost::showInfoMessage(m_paths.annotate(text));
}

bool TerminalHost::stopRequested() {
    return ScopedInterruptFlag::raised();
}

void TerminalHost::note(std::string_view text) {
    endProgressLine();
    ShowInfoMessage(m_paths.annotate(text));
}

int TerminalHost::askOkCancel(std::string_view text) {
    return SplitHost::askOkCancel(m_paths.annotate(text));
}

int TerminalHost::showErrorMessage(std::string_view text) {
    return SplitHost::showErrorMessage(m_paths.annotate(text));
}

int TerminalHost::askYesNo(std::string_view text) {
    return SplitHost::askYesNo(m_paths.annotate(text));
}

void TerminalHost::setStatusText(std::string_view text) {
    if (!m_showProgress) {
        return;
    }
    endProgressLine();
    m_err << m_paths.annotate(text) << "\n";
    m_err.flush();
}

void TerminalHost::setProgress(int parts) {
    if (!m_showProgress) {
        return;
    }
    const int done = std::clamp(parts, 0, core::kProgressParts);
    if (done == 0) {
        // An emptied bar leaves the line, as the window's bar goes blank after a split.
        if (m_barDrawn) {
            m_err << "\r" << std::string(core::kProgressParts + 2, ' ') << "\r";
            m_err.flush();
            m_barDrawn = false;
        }
        return;
    }
    const auto left = static_cast<std::size_t>(core::kProgressParts - done);
    m_err << "\r[" << std::string(static_cast<std::size_t>(done), '#') << std::string(left, '-')
          << "]";
    m_err.flush();
    m_barDrawn = true;
}

void TerminalHost::endProgressLine() {
    if (m_barDrawn) {
        m_err << "\n";
        m_err.flush();
        m_barDrawn = false;
    }
}

} // namespace dividra::cli
