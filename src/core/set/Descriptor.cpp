#include "core/set/Descriptor.h"

#include "core/set/SegmentPath.h"

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

} // namespace dividra::core
