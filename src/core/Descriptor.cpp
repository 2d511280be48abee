#include "core/Descriptor.h"

#include "core/SafeWrite.h"
#include "core/SegmentPath.h"

#include <span>

namespace dividra::core {

std::string DescriptorPath(std::string_view lastSegmentPath) {
    return ReplaceExtension(lastSegmentPath, kDescriptorExtension);
}

std::string DescriptorText(std::string_view sourceExtension, std::int64_t segmentCount,
                           std::int64_t sourceSize) {
    return "File Ext=" + std::string(sourceExtension) + "\r\n" +
           "Total Files=" + std::to_string(segmentCount) + "\r\n" +
           "Total Size=" + std::to_string(sourceSize) + "\r\n";
}

Status WriteDescriptor(platform::FileSystem& fs, std::string_view lastSegmentPath,
                       std::string_view sourceExtension, std::int64_t segmentCount,
                       std::int64_t sourceSize, std::optional<platform::FileId> sourceId) {
    return WriteSmallFile(fs, DescriptorPath(lastSegmentPath),
                          DescriptorText(sourceExtension, segmentCount, sourceSize), sourceId);
}

Status WriteSmallFile(platform::FileSystem& fs, const std::string& path, std::string_view text,
                      std::optional<platform::FileId> sourceId) {
    if (const Status refused = CheckTarget(fs, sourceId, path); !refused) {
        return refused;
    }
    auto created = fs.createAlways(path);
    if (!created) {
        return WithAction("Can't create", created.error());
    }
    platform::File& file = *created.value();
    const Status written = CloseAfter(
        file, WriteThrough(file, path, std::as_bytes(std::span(text.data(), text.size()))));
    if (!written) {
        // A part of a descriptor would pass for a whole one.
        (void)fs.deleteFile(path);
    }
    return written;
}

} // namespace dividra::core
