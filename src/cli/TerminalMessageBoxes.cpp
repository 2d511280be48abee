#include "cli/TerminalMessageBoxes.h"
#include "platform/AsciiText.h"

#include <algorithm>
#include <array>
#include <istream>
#include <ostream>
#include <string>
#include <utility>

namespace dividra::cli {
namespace {

struct Button {
    std::string_view word;
    int result;
};

std::string_view trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

} // namespace

TerminalMessageBoxes::TerminalMessageBoxes(std::istream& in, std::ostream& out,
                                           std::function<void()> beforeBox)
    : m_in(in), m_out(out), m_beforeBox(std::move(beforeBox)) {}

int TerminalMessageBoxes::show(std::string_view text, std::string_view /*caption*/,
                               unsigned flags) {
    if (m_beforeBox) {
        m_beforeBox();
    }
    m_out << text << "\n";
    const unsigned buttons = flags & MB_BUTTONMASK;
    if (buttons != MB_OKCANCEL && buttons != MB_YESNO) {
        m_out.flush();
        return IDOK;
    }
    const std::string_view prompt = buttons == MB_YESNO ? "[Yes/No]" : "[OK/Cancel]";
    const int onEnd = buttons == MB_YESNO ? IDNO : IDCANCEL;
    for (;;) {
        m_out << prompt << "\n";
        m_out.flush();
        std::string line;
        if (!std::getline(m_in, line)) {
            return onEnd;
        }
        if (const auto answer = ParseAnswer(line, buttons)) {
            return *answer;
        }
    }
}

std::optional<int> ParseAnswer(std::string_view line, unsigned buttons) {
    using Buttons = std::array<Button, 2>;
    const Buttons choices = buttons == MB_YESNO ? Buttons{{{"yes", IDYES}, {"no", IDNO}}}
                                                : Buttons{{{"ok", IDOK}, {"cancel", IDCANCEL}}};
    const std::string typed = platform::lowerAscii(trimmed(line));
    if (typed.empty()) {
        return choices[0].result;
    }
    for (const Button& button : choices) {
        if (button.word.starts_with(typed)) {
            return button.result;
        }
    }
    return std::nullopt;
}

} // namespace dividra::cli
