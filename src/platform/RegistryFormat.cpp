#include "platform/RegistryFormat.h"

#include "platform/AsciiText.h"

namespace dividra::platform {
namespace {

constexpr std::string_view kFirstLine = "REGEDIT4";
constexpr std::string_view kRoot = "HKEY_CURRENT_USER";
// A line that has reached this length goes on after `,\`, so none exceeds 78 characters.
constexpr std::size_t kWrapColumn = 75;

// ---- writing ----

void appendQuoted(std::string& out, std::string_view text) {
    out += '"';
    for (std::size_t at; (at = text.find_first_of("\\\"")) != std::string_view::npos;) {
        out.append(text.substr(0, at)).append(1, '\\').append(1, text[at]);
        text.remove_prefix(at + 1);
    }
    out.append(text).append(1, '"');
}

// Valid UTF-8 without control characters (C0, DEL, C1): what a quoted text can carry.
bool isPrintableUtf8(std::string_view text) {
    for (std::size_t at = 0; at < text.size();) {
        const auto lead = static_cast<unsigned char>(text[at]);
        const std::size_t length = utf8SequenceLength(text, at);
        const bool c1Control = lead == 0xC2 && static_cast<unsigned char>(text[at + 1]) < 0xA0;
        if (length == 0 || lead < 0x20 || lead == 0x7F || c1Control) {
            return false;
        }
        at += length;
    }
    return true;
}

void appendHexNumber(std::string& out, std::uint32_t value, int minDigits) {
    char digits[8];
    int count = 0;
    do {
        digits[7 - count++] = kLowerHexDigits[value & 0xF];
        value >>= 4;
    } while (value != 0 || count < minDigits);
    out.append(digits + 8 - count, static_cast<std::size_t>(count));
}

void appendHexBytes(std::string& out, std::string_view data, std::size_t lineStart) {
    for (std::size_t i = 0; i < data.size(); ++i) {
        const auto byte = static_cast<unsigned char>(data[i]);
        out += kLowerHexDigits[byte >> 4];
        out += kLowerHexDigits[byte & 0xF];
        if (i + 1 < data.size()) {
            out += ',';
            if (out.size() - lineStart >= kWrapColumn) {
                out += "\\\n  ";
                lineStart = out.size() - 2;
            }
        }
    }
}

void appendValue(std::string& out, const NamedValue& entry) {
    const std::size_t lineStart = out.size();
    if (entry.name.empty()) {
        out += '@';
    } else {
        appendQuoted(out, entry.name);
    }
    out += '=';
    const RegistryValue& value = entry.value;
    if (value.type == kRegDword && value.data.size() == 4) {
        out += "dword:";
        appendHexNumber(out, dwordFromBytes(value.data), 8);
    } else if (value.type == kRegSz && isPrintableUtf8(value.data)) {
        appendQuoted(out, value.data);
    } else {
        out += "hex";
        if (value.type != kRegBinary) {
            out += '(';
            appendHexNumber(out, value.type, 1);
            out += ')';
        }
        out += ':';
        appendHexBytes(out, value.data, lineStart);
    }
    out += '\n';
}

} // namespace

std::string formatRegistry(const RegistryTree& tree) {
    std::string out(kFirstLine);
    out += '\n';
    for (const RegistryKey& key : tree.keys()) {
        out += "\n[";
        out += kRoot;
        if (!key.path.empty()) {
            out += '\\';
            out += key.path;
        }
        out += "]\n";
        for (const NamedValue& entry : key.values) {
            appendValue(out, entry);
        }
    }
    return out;
}

} // namespace dividra::platform
