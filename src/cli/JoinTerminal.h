#pragma once

#include "cli/CliContext.h"
#include "cli/HostPaths.h"
#include "cli/TerminalHost.h"
#include "cli/TerminalMessageBoxes.h"
#include "core/join/Join.h"
#include "util/MessageBoxes.h"

#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// What join and verify share on a terminal: the file system of the drive table, messages with
// host paths, questions on stderr, the progress bar, and Ctrl-C as a request to stop.
namespace dividra::cli {

class JoinTerminal final : public core::JoinObserver {
public:
    // Errors: a drive table that couldn't be read (InvalidArgument).
    static Result<std::unique_ptr<JoinTerminal>> open(const CliContext& context, std::istream& in,
                                                      std::ostream& out, std::ostream& err,
                                                      bool showProgress);
    JoinTerminal(const CliContext& context, std::istream& in, std::ostream& out, std::ostream& err,
                 bool showProgress);
    ~JoinTerminal() override;

    platform::FileSystem& fs() { return m_fs; }
    const platform::DriveTable& drives() const { return m_drives; }
    // Paths that messages name, so one followed by a blank is still told apart.
    void knowPaths(std::vector<std::string> paths);

    // A line on stdout, DOS paths with their host paths.
    void inform(std::string_view text);
    // The error on stderr; kExitFailed.
    int fail(const Error& error);
    // Says what a join or check came to; its exit status.
    int finish(const core::JoinResult& result);
    // An [OK/Cancel] question on stderr; true for OK.
    bool askOkCancel(std::string_view text);

    void progressChanged(int parts) override;
    bool cancelRequested() override;

private:
    std::string annotate(std::string_view text) const { return m_paths->annotate(text); }

    platform::FileSystem& m_fs;
    const platform::DriveTable& m_drives;
    TerminalHost m_progress;
    TerminalMessageBoxes m_boxes;
    ScopedMessageBoxProvider m_scope;
    std::optional<HostPathNotes> m_paths; // rebuilt as paths become known
};

// verify's work once the terminal is set up: the exit status.
int VerifySet(JoinTerminal& terminal, const std::string& descriptorHostPath);

} // namespace dividra::cli
