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

std::string EscapeControlBytes(std::string_view text) {
    static constexpr std::string_view kHex = "0123456789abcdef";
    std::string shown;
    shown.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte < 0x20 && c != '\n' && c != '\t') || byte == 0x7f) {
            shown += "\\x";
            shown += kHex[byte >> 4];
            shown += kHex[byte & 0xf];
        } else {
            shown += c;
        }
    }
    return shown;
}

TerminalMessageBoxes::TerminalMessageBoxes(std::istream& in, std::ostream& out, std::ostream& err,
                                           std::function<void()> beforeBox)
    : m_in(in), m_out(out), m_err(err), m_beforeBox(std::move(beforeBox)) {}

int TerminalMessageBoxes::show(std::string_view text, std::string_view /*caption*/,
                               unsigned flags) {
    if (m_beforeBox) {
        m_beforeBox();
    }
    const std::string shown = EscapeControlBytes(text);
    const unsigned buttons = flags & MB_BUTTONMASK;
    const unsigned icon = flags & MB_ICONMASK;
    const bool question = buttons == MB_OKCANCEL || buttons == MB_YESNO;
    if (!question && (icon == MB_ICONINFORMATION || icon == 0)) {
        m_out << shown << "\n";
        m_out.flush();
        return IDOK;
    }
    // Whatever stdout shows so far comes before the box.
    m_out.flush();
    if (!question) {
        m_err << "dividra-cli: " << shown << "\n";
        m_err.flush();
        return IDOK;
    }
    return ask(shown, buttons);
}

int TerminalMessageBoxes::ask(const std::string& question, unsigned buttons) {
    const bool yesNo = buttons == MB_YESNO;
    m_err << question << "\n";
    for (;;) {
        m_err << (yesNo ? "[Yes/No]" : "[OK/Cancel]") << "\n";
        m_err.flush();
        std::string line;
        if (!std::getline(m_in, line)) {
            return yesNo ? IDNO : IDCANCEL;
        }
        if (const auto answer = ParseAnswer(line, buttons)) {
            return *answer;
        }
        // The question again, as its text may have scrolled away.
        m_err << (yesNo ? "Please answer yes or no.\n" : "Please answer ok or cancel.\n")
              << question << "\n";
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
