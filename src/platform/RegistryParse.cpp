#include "platform/AsciiText.h"
#include "platform/RegistryFormat.h"

#include <cstdint>
#include <optional>

namespace dividra::platform {
namespace {

constexpr std::string_view kFirstLine = "REGEDIT4";
constexpr std::string_view kRoot = "HKEY_CURRENT_USER";
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

struct Line {
    std::string_view text;  // without its line end and trailing blanks
    bool terminated = true; // false for a last line without its newline
};

class LineReader {
public:
    explicit LineReader(std::string_view text) : m_text(text) {}

    bool next(Line& line) {
        if (m_hasPending) {
            m_hasPending = false;
            line = m_pending;
            return true;
        }
        if (m_pos >= m_text.size()) {
            return false;
        }
        const std::size_t end = m_text.find('\n', m_pos);
        line.terminated = end != std::string_view::npos;
        const std::size_t stop = line.terminated ? end : m_text.size();
        line.text = m_text.substr(m_pos, stop - m_pos);
        m_pos = stop + 1;
        const std::size_t last = line.text.find_last_not_of(" \t\r");
        line.text = line.text.substr(0, last == std::string_view::npos ? 0 : last + 1);
        return true;
    }

    // next() gives this line again.
    void putBack(Line line) {
        m_pending = line;
        m_hasPending = true;
    }

private:
    std::string_view m_text;
    std::size_t m_pos = 0;
    Line m_pending;
    bool m_hasPending = false;
};

std::optional<std::uint32_t> parseHexNumber(std::string_view digits) {
    if (digits.empty() || digits.size() > 8) {
        return std::nullopt;
    }
    std::uint32_t value = 0;
    for (char c : digits) {
        const int d = hexDigitValue(c);
        if (d < 0) {
            return std::nullopt;
        }
        value = (value << 4) | static_cast<std::uint32_t>(d);
    }
    return value;
}

// A quoted text starting at `pos`; on success `pos` is just past its closing quote.
bool parseQuoted(std::string_view line, std::size_t& pos, std::string& text) {
    if (pos >= line.size() || line[pos] != '"') {
        return false;
    }
    for (std::size_t i = pos + 1;;) {
        const std::size_t special = line.find_first_of("\\\"", i);
        if (special == std::string_view::npos) {
            return false;
        }
        text.append(line.substr(i, special - i));
        if (line[special] == '"') {
            pos = special + 1;
            return true;
        }
        if (special + 1 == line.size() || (line[special + 1] != '\\' && line[special + 1] != '"')) {
            return false;
        }
        text += line[special + 1];
        i = special + 2;
    }
}

std::optional<std::string> parseHeader(std::string_view line) {
    if (line.size() < 2 || line.front() != '[' || line.back() != ']') {
        return std::nullopt;
    }
    const std::string_view inner = line.substr(1, line.size() - 2);
    if (!startsWithIgnoringCase(inner, kRoot)) {
        return std::nullopt;
    }
    if (inner.size() == kRoot.size()) {
        return std::string();
    }
    const std::string_view path = inner.substr(kRoot.size() + 1);
    if (inner[kRoot.size()] != '\\' || path.empty() || !isValidKeyPath(path)) {
        return std::nullopt;
    }
    return std::string(path);
}

bool parseHexBytes(std::string_view list, std::string& bytes) {
    if (list.find_first_not_of(" \t") == std::string_view::npos) {
        return true;
    }
    bytes.reserve(list.size() / 3 + 1);
    std::size_t start = 0;
    while (start <= list.size()) {
        const std::size_t end = std::min(list.find(',', start), list.size());
        std::string_view item = list.substr(start, end - start);
        const std::size_t first = item.find_first_not_of(" \t");
        item = first == std::string_view::npos ? std::string_view() : item.substr(first);
        item = item.substr(0, item.find_last_not_of(" \t") + 1);
        const int high = item.size() == 2 ? hexDigitValue(item[0]) : -1;
        const int low = item.size() == 2 ? hexDigitValue(item[1]) : -1;
        if (high < 0 || low < 0) {
            return false;
        }
        bytes += static_cast<char>(high * 16 + low);
        start = end + 1;
    }
    return true;
}

// `hex:..` or `hex(N):..`, its continuation lines already joined.
bool parseHexValue(std::string_view data, RegistryValue& value) {
    data.remove_prefix(3);
    value.type = kRegBinary;
    if (!data.empty() && data.front() == '(') {
        const std::size_t close = data.find(')');
        const auto type = close == std::string_view::npos
                              ? std::nullopt
                              : parseHexNumber(data.substr(1, close - 1));
        if (!type) {
            return false;
        }
        value.type = *type;
        data.remove_prefix(close + 1);
    }
    return !data.empty() && data.front() == ':' && parseHexBytes(data.substr(1), value.data);
}

bool parseDword(std::string_view digits, bool terminated, RegistryValue& value) {
    // Eight digits show that a last line without its newline wasn't cut short.
    const auto number = terminated || digits.size() == 8 ? parseHexNumber(digits) : std::nullopt;
    if (!number) {
        return false;
    }
    value.type = kRegDword;
    value.data = dwordBytes(*number);
    return true;
}

// The data after `=`; hex data takes its continuation lines from `lines`.
bool parseData(std::string_view data, Line line, LineReader& lines, RegistryValue& value) {
    if (startsWithIgnoringCase(data, "dword:")) {
        return parseDword(data.substr(6), line.terminated, value);
    }
    if (!data.empty() && data.front() == '"') {
        std::size_t end = 0;
        value.type = kRegSz;
        return parseQuoted(data, end, value.data) && end == data.size();
    }
    if (!startsWithIgnoringCase(data, "hex")) {
        return false;
    }
    std::string joined(data);
    while (!joined.empty() && joined.back() == '\\') {
        joined.pop_back();
        if (!lines.next(line)) {
            return false;
        }
        const std::size_t first = line.text.find_first_not_of(" \t");
        joined += first == std::string_view::npos ? std::string_view() : line.text.substr(first);
    }
    // Hex data could be cut after any byte: without its newline it can't be trusted.
    return line.terminated && parseHexValue(joined, value);
}

bool parseValueLine(Line line, LineReader& lines, NamedValue& entry) {
    std::size_t pos = 1;
    if (line.text.front() != '@') {
        pos = 0;
        if (!parseQuoted(line.text, pos, entry.name) || !isValidValueName(entry.name)) {
            return false;
        }
    }
    if (pos >= line.text.size() || line.text[pos] != '=') {
        return false;
    }
    return parseData(line.text.substr(pos + 1), line, lines, entry.value);
}

// Whether the first line is REGEDIT4 (after a UTF-8 byte order mark, which it drops).
bool isFirstLine(Line& line) {
    if (line.text.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
        line.text.remove_prefix(kByteOrderMark.size());
    }
    return line.text == kFirstLine;
}

} // namespace

ParsedRegistry parseRegistry(std::string_view text) {
    ParsedRegistry result;
    LineReader lines(text);
    Line line;
    if (lines.next(line) && !isFirstLine(line)) {
        // Counted once; a header in its place still opens its key.
        ++result.badLines;
        if (!line.text.empty() && line.text.front() == '[') {
            lines.putBack(line);
        }
    }
    std::optional<std::string> key; // none before the first header and after a bad one
    constexpr std::size_t kNone = SIZE_MAX;
    std::size_t keyPosition = kNone; // in the tree, once the key has a value
    while (lines.next(line)) {
        if (line.text.empty() || line.text.front() == ';') {
            continue;
        }
        if (line.text.front() == '[') {
            key = parseHeader(line.text);
            keyPosition = kNone;
            if (!key) {
                ++result.badLines;
            } else {
                result.tree.createKey(*key);
            }
            continue;
        }
        NamedValue entry;
        if (!parseValueLine(line, lines, entry) || !key) {
            ++result.badLines;
            continue;
        }
        if (keyPosition == kNone) {
            keyPosition = result.tree.listKey(*key);
        }
        result.tree.setValue(keyPosition, entry.name, std::move(entry.value));
    }
    return result;
}

} // namespace dividra::platform
