#include "core/set/DescriptorRead.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <limits>
#include <vector>

namespace dividra::core {
namespace {

constexpr std::array<std::string_view, 3> kKeys = {"File Ext=", "Total Files=", "Total Size="};

Error lineError(std::size_t line, const std::string& what) {
    return Error{ErrorCode::InvalidArgument, "line " + std::to_string(line) + ": " + what};
}

bool badNameChar(char c) {
    const auto u = static_cast<unsigned char>(c);
    return u < 0x20 || u == 0x7f ||
           std::string_view("\\/:*?\"<>|").find(c) != std::string_view::npos;
}

bool validExtension(std::string_view extension) {
    if (extension.empty()) {
        return true;
    }
    // "." alone is the extension of a name that ends in a dot ("file."), which a split writes.
    return extension.front() == '.' && extension.find_first_of("\\/") == std::string_view::npos &&
           std::none_of(extension.begin() + 1, extension.end(), badNameChar);
}

// Digits only, within [low, high].
bool readNumber(std::string_view text, std::int64_t low, std::int64_t high, std::int64_t& value) {
    if (text.empty() || text.find_first_not_of("0123456789") != std::string_view::npos) {
        return false;
    }
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size() && value >= low &&
           value <= high;
}

// The lines without their ends; a last line without an end counts, an empty rest does not.
std::vector<std::string_view> splitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const auto newline = text.find('\n');
        std::string_view line = text.substr(0, newline);
        if (line.ends_with('\r')) {
            line.remove_suffix(1);
        }
        lines.push_back(line);
        text = newline == std::string_view::npos ? std::string_view() : text.substr(newline + 1);
    }
    return lines;
}

} // namespace

Result<DescriptorInfo> ReadDescriptorText(std::string_view text) {
    const std::vector<std::string_view> lines = splitLines(text);
    std::array<std::string_view, 3> values;
    for (std::size_t i = 0; i < kKeys.size(); ++i) {
        if (i >= lines.size() || !lines[i].starts_with(kKeys[i])) {
            return lineError(i + 1, "\"" + std::string(kKeys[i]) + "\" expected");
        }
        values[i] = lines[i].substr(kKeys[i].size());
    }
    if (lines.size() > kKeys.size()) {
        return lineError(kKeys.size() + 1, "unexpected");
    }
    DescriptorInfo info;
    if (!validExtension(values[0])) {
        return lineError(1, "\"" + std::string(values[0]) + "\" is no file extension");
    }
    info.extension = values[0];
    std::int64_t count = 0;
    if (!readNumber(values[1], 1, kMaxJoinSegments, count)) {
        return lineError(2, "\"" + std::string(values[1]) + "\" is no segment count from 1 to " +
                                std::to_string(kMaxJoinSegments));
    }
    info.segmentCount = static_cast<int>(count);
    if (!readNumber(values[2], 1, std::numeric_limits<std::int64_t>::max(), info.totalSize)) {
        return lineError(3, "\"" + std::string(values[2]) + "\" is no size in bytes");
    }
    if (info.totalSize < count) {
        return lineError(3, std::string(values[2]) + " bytes can't fill " + std::string(values[1]) +
                                " segments");
    }
    return info;
}

} // namespace dividra::core
