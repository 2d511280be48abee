#pragma once

#include "util/MessageBoxes.h"

#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>

// The program's message boxes as terminal prompts.
namespace dividra::cli {

// Prints each box's text one line per "\n"-separated line (the caption is left out), its control
// bytes escaped by EscapeControlBytes. An information box (MB_OK with the information icon or
// none) goes to `out` and returns IDOK. Every other box goes to `err`: an error or warning with
// "dividra-cli: " before its first line, a question without, so a prompt is seen while stdout is
// redirected. A question prints "[OK/Cancel]" or "[Yes/No]" and reads one line from `in`; any
// other answer prints "Please answer ok or cancel." (or yes or no), then the question's text and
// the bracket line again. End of input answers Cancel or No.
class TerminalMessageBoxes final : public MessageBoxProvider {
public:
    // `beforeBox` runs before each box is printed (to end a progress line, say).
    TerminalMessageBoxes(std::istream& in, std::ostream& out, std::ostream& err,
                         std::function<void()> beforeBox = {});

    int show(std::string_view text, std::string_view caption, unsigned flags) override;

private:
    int ask(const std::string& question, unsigned buttons);

    std::istream& m_in;
    std::ostream& m_out;
    std::ostream& m_err;
    std::function<void()> m_beforeBox;
};

// `text` with each byte below 0x20 but '\n' and '\t', and 0x7f, as "\xHH" (lower-case hex
// digits), so bytes from a file can't steer the terminal.
std::string EscapeControlBytes(std::string_view text);

// The button one answer line chooses: "ok", "cancel", "yes" or "no" in any case, or any start of
// them ("c", "Canc"), blanks around ignored; an empty line chooses the first button. `buttons`
// is MB_OKCANCEL or MB_YESNO. Nothing for any other line.
std::optional<int> ParseAnswer(std::string_view line, unsigned buttons);

} // namespace dividra::cli
