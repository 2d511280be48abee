#include "core/set/SegmentPath.h"

#include "util/NumberText.h"

namespace dividra::core {

std::string SegmentExtension(int segmentNumber) {
    std::string digits = IntToText(segmentNumber);
    if (digits.size() < 3) {
        digits.insert(0, 3 - digits.size(), '0');
    }
    return "." + digits;
}

std::string_view FileNamePart(std::string_view path) {
    const auto separator = path.find_last_of("\\:");
    return separator == std::string_view::npos ? path : path.substr(separator + 1);
}

std::string_view FolderPart(std::string_view path) {
    const auto separator = path.rfind('\\');
    if (separator == std::string_view::npos) {
        return path.substr(0, path.size() - FileNamePart(path).size());
    }
    const bool root = separator == 2 && path[1] == ':';
    return path.substr(0, root ? separator + 1 : separator);
}

std::string HardDrivePrefix(std::string_view folder) {
    std::string prefix(folder);
    if (prefix.empty() || prefix.back() != '\\') {
        prefix += '\\';
    }
    return prefix;
}

std::string FloppyPrefix(std::string_view driveText) {
    return std::string(driveText) + "\\";
}

std::string ReplaceExtension(std::string_view path, std::string_view extension) {
    const std::size_t namePart = path.size() - FileNamePart(path).size();
    const auto dot = path.rfind('.');
    const bool hasExtension = dot != std::string_view::npos && dot >= namePart;
    return std::string(hasExtension ? path.substr(0, dot) : path) + std::string(extension);
}

std::string SegmentPath(std::string_view prefix, std::string_view baseName, int segmentNumber) {
    return ReplaceExtension(std::string(prefix) + std::string(baseName),
                            SegmentExtension(segmentNumber));
}

} // namespace dividra::core
