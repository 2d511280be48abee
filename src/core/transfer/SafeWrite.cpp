#include "core/transfer/SafeWrite.h"

#include <string>

namespace dividra::core {

Error WithAction(std::string_view action, const Error& error) {
    return Error{error.code, std::string(action) + " " + error.message};
}

Status WriteAll(platform::File& file, std::string_view path, std::span<const std::byte> data) {
    const auto written = file.write(data);
    if (!written) {
        return WithAction("Can't write", written.error());
    }
    if (written.value() != data.size()) {
        return Error{ErrorCode::DiskFull, "Can't write " + std::string(path) + ": only " +
                                              std::to_string(written.value()) + " of " +
                                              std::to_string(data.size()) +
                                              " bytes were written; the disk may be full"};
    }
    return {};
}

Status FlushWritten(platform::File& file) {
    if (const Status flushed = file.flush(); !flushed) {
        return WithAction("Can't write", flushed.error());
    }
    return {};
}

Status WriteThrough(platform::File& file, std::string_view path, std::span<const std::byte> data) {
    const Status written = WriteAll(file, path, data);
    return written ? FlushWritten(file) : written;
}

Status CloseAfter(platform::File& file, const Status& work) {
    const Status closed = file.close();
    if (!work) {
        return work;
    }
    if (!closed) {
        return WithAction("Can't write", closed.error());
    }
    return {};
}

Status CheckTarget(const platform::FileSystem& fs, const std::optional<platform::FileId>& sourceId,
                   std::string_view targetPath) {
    const auto replaced = fs.probeCreate(targetPath);
    if (!replaced) {
        return WithAction("Can't create", replaced.error());
    }
    if (sourceId && replaced.value() == sourceId) {
        return Error{ErrorCode::SameFile,
                     "Can't create " + std::string(targetPath) + ": it is the file being split"};
    }
    return {};
}

} // namespace dividra::core
