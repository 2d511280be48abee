#include "core/set/ChecksumFile.h"

#include <algorithm>

namespace dividra::core {
namespace {

bool isHex(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

char lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool badNameChar(char c) {
    const auto u = static_cast<unsigned char>(c);
    return u < 0x20 || u == 0x7f || c == '\\' || c == '/';
}

std::optional<ChecksumLine> readLine(std::string_view line) {
    if (line.size() < kDigestLength + 3 ||
        !std::all_of(line.begin(), line.begin() + kDigestLength, isHex) ||
        line[kDigestLength] != ' ' ||
        (line[kDigestLength + 1] != ' ' && line[kDigestLength + 1] != '*')) {
        return std::nullopt;
    }
    const std::string_view name = line.substr(kDigestLength + 2);
    if (std::any_of(name.begin(), name.end(), badNameChar)) {
        return std::nullopt;
    }
    ChecksumLine read{std::string(line.substr(0, kDigestLength)), std::string(name)};
    std::transform(read.digest.begin(), read.digest.end(), read.digest.begin(), lower);
    return read;
}

} // namespace

std::string ChecksumText(const std::vector<ChecksumLine>& lines) {
    std::string text;
    for (const ChecksumLine& line : lines) {
        text += line.digest + "  " + line.name + "\n";
    }
    return text;
}

Result<std::vector<ChecksumLine>> ReadChecksumText(std::string_view text) {
    std::vector<ChecksumLine> lines;
    std::size_t number = 1;
    do {
        const auto newline = text.find('\n');
        std::string_view line = text.substr(0, newline);
        if (line.ends_with('\r')) {
            line.remove_suffix(1);
        }
        const auto read = readLine(line);
        if (!read) {
            return Error{ErrorCode::InvalidArgument,
                         "line " + std::to_string(number) +
                             ": a SHA-256 digest, two blanks and a file name expected"};
        }
        lines.push_back(*read);
        text = newline == std::string_view::npos ? std::string_view() : text.substr(newline + 1);
        ++number;
    } while (!text.empty());
    return lines;
}

} // namespace dividra::core
