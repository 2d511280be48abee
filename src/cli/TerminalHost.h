#pragma once

#include "cli/HostPaths.h"
#include "core/split/SplitHost.h"
#include "platform/FileSystem.h"

#include <iosfwd>

// The split engine's host on a terminal: the inputs come from the command line, status texts and
// the progress bar go to stderr. The message boxes are shown by TerminalMessageBoxes, which the
// command installs as the provider; the host adds host paths to their texts on the way.
namespace dividra::cli {

class TerminalHost final : public core::SplitHost {
public:
    // With `showProgress` off (stderr isn't a terminal) nothing at all is written.
    // `fs` maps the DOS paths of texts to host paths; it outlives the host. The request's paths
    // are known to the notes, so a path followed by a blank is still told apart.
    TerminalHost(const core::SplitRequest& request, const platform::FileSystem& fs,
                 std::ostream& err, bool showProgress);

    // Each text on a line of its own.
    void setStatusText(std::string_view text) override;
    // Redraws the bar in place with "\r": "[#####---------------]" for 5 parts of 20; 0 parts
    // blanks a drawn bar's line.
    void setProgress(int parts) override;
    // Through util/MessageBoxes' boxes, each DOS path of the text followed by its host path.
    int showInfoMessage(std::string_view text) override;
    int askOkCancel(std::string_view text) override;
    int showErrorMessage(std::string_view text) override;
    int askYesNo(std::string_view text) override;
    // A terminal has no cursor, window or message loop to change: these do nothing.
    void setBusy(bool) override {}
    void minimize() override {}
    void processMessages() override {}

    // A terminal has no sound of ours: silence, as for a file that can't be played.
    void playSound(std::string_view) override {}
    // The terminal counts as the active window, so nothing ever waits for it to become active.
    bool isActive() override { return true; }
    void startFlashing() override {}
    bool isFlashing() override { return false; }

    // Ctrl-C (SIGINT, SIGTERM, SIGHUP) while a ScopedInterruptFlag lives.
    bool stopRequested() override;
    // On stdout, as information.
    void note(std::string_view text) override;

    // Ends the progress bar's line when one is drawn, so the next text starts on its own line.
    void endProgressLine();

private:
    HostPathNotes m_paths;
    std::ostream& m_err;
    bool m_showProgress;
    bool m_barDrawn = false;
};

} // namespace dividra::cli
