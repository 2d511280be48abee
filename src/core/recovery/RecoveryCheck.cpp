#include "core/recovery/RecoveryCheck.h"

#include "core/set/SegmentPath.h"
#include "core/transfer/SafeWrite.h"
#include "core/transfer/Transfer.h"
#include "platform/AsciiText.h"

#include <algorithm>

namespace dividra::core {
namespace {

constexpr std::size_t kCheckChunk = 262144;

std::string_view BaseOf(std::string_view descriptorPath) {
    const std::string_view name = FileNamePart(descriptorPath);
    return name.substr(0, name.rfind('.'));
}

// NAME.par2 first, then NAME.vol*.par2 in name order; letter case is the file system's affair.
Result<std::vector<std::string>> FindRecoveryFiles(const platform::FileSystem& fs,
                                                   const std::string& prefix,
                                                   const std::string& base) {
    auto found = fs.find(prefix + base + ".*", 0);
    if (!found) {
        return found.error().code == ErrorCode::NotFound
                   ? std::vector<std::string>{}
                   : Result<std::vector<std::string>>(found.error());
    }
    const std::string index = platform::lowerAscii(base + ".par2");
    const std::string volume = platform::lowerAscii(base + ".vol");
    std::vector<std::string> names;
    for (const platform::FindEntry& entry : found.value()) {
        const std::string name = platform::lowerAscii(entry.name);
        if (name == index || (name.starts_with(volume) && name.ends_with(".par2"))) {
            names.push_back(entry.name);
        }
    }
    std::sort(names.begin(), names.end(), [&](const std::string& a, const std::string& b) {
        const bool aIndex = platform::lowerAscii(a) == index;
        return aIndex != (platform::lowerAscii(b) == index) ? aIndex : a < b;
    });
    for (std::string& name : names) {
        name = prefix + name;
    }
    return names;
}

Status ReadAll(platform::FileSystem& fs, const std::vector<std::string>& paths,
               par2::Par2Reader& reader, const std::function<bool()>& stop) {
    for (const std::string& path : paths) {
        if (stop && stop()) {
            return StoppedOnRequest();
        }
        auto file = fs.openUnlinked(path, true);
        if (!file) {
            return WithAction("Can't read", file.error());
        }
        if (const Status read = reader.read(path, *file.value()); !read) {
            return WithAction("Can't read", read.error());
        }
    }
    return {};
}

std::int64_t SlicesOf(std::int64_t length, std::uint64_t sliceSize) {
    return static_cast<std::int64_t>(
        par2::SliceCount(static_cast<std::uint64_t>(length), sliceSize));
}

// The next `length` bytes of `file` through `transfer` into `hash`.
Status HashNext(Transfer& transfer, platform::File& file, const std::string& path,
                std::int64_t length, Md5& hash) {
    return transfer.pump(
        file, length,
        [&hash](std::span<const std::byte> bytes) {
            hash.update(bytes);
            return Status();
        },
        [&](std::int64_t done) { return EndedEarly(path, done, length); });
}

// Which slices of a damaged file are intact, by the checks of the recovery files: the file's
// first `present` bytes are there.
Status CheckSlices(Transfer& transfer, platform::File& opened, ProtectedFile& file,
                   std::int64_t present, std::int64_t sliceSize,
                   const std::vector<par2::SliceCheck>& checks) {
    if (const Status back = opened.seek(0); !back) {
        return WithAction("Can't read", back.error());
    }
    for (std::size_t s = 0; s < file.goodSlices.size() && s < checks.size(); ++s) {
        const std::int64_t bytes = std::clamp<std::int64_t>(
            present - static_cast<std::int64_t>(s) * sliceSize, 0, sliceSize);
        Md5 hash;
        if (const Status read = HashNext(transfer, opened, file.path, bytes, hash); !read) {
            return read;
        }
        file.goodSlices[s] = par2::PaddedSliceHash(hash, bytes, sliceSize) == checks[s].hash;
    }
    return {};
}

// Reads a file of the set: whole and intact, else which of its slices are. One of another
// length is damaged without its whole hash taken.
Status CheckFile(platform::FileSystem& fs, ProtectedFile& file, const par2::RecoverySet& set,
                 const par2::FileEntry& entry, const std::function<bool()>& stop) {
    file.goodSlices.assign(static_cast<std::size_t>(SlicesOf(file.length, set.sliceSize)), false);
    auto opened = fs.openUnlinked(file.path, true);
    if (!opened) {
        file.state = opened.error().code == ErrorCode::NotFound ? ProtectedState::Missing
                                                                : ProtectedState::Damaged;
        return {};
    }
    const auto size = opened.value()->size();
    if (!size) {
        return WithAction("Can't read", size.error());
    }
    Transfer transfer(kCheckChunk, nullptr, stop);
    if (size.value() == file.length) {
        Md5 whole;
        if (const Status read = HashNext(transfer, *opened.value(), file.path, file.length, whole);
            !read) {
            return read;
        }
        if (whole.digest() == entry.hash) {
            file.state = ProtectedState::Ok;
            file.goodSlices.assign(file.goodSlices.size(), true);
            return {};
        }
    }
    file.state = ProtectedState::Damaged;
    const auto checks = set.checks.find(entry.id);
    return checks == set.checks.end()
               ? Status()
               : CheckSlices(transfer, *opened.value(), file, std::min(size.value(), file.length),
                             static_cast<std::int64_t>(set.sliceSize), checks->second);
}

// The set's files in its order, each numbered from its first input slice, then the segments it
// doesn't describe.
Result<std::vector<ProtectedFile>> FilesOf(const par2::RecoverySet& set, const PathOf& pathOf,
                                           const std::vector<std::string>& segmentNames) {
    std::vector<ProtectedFile> files;
    std::int64_t next = 0;
    for (const Md5Digest& id : set.fileIds) {
        const auto entry = set.files.find(id);
        if (entry == set.files.end()) {
            return Error{ErrorCode::InvalidArgument,
                         "a file of the recovery set has no intact description"};
        }
        ProtectedFile file;
        file.name = entry->second.name;
        file.length = static_cast<std::int64_t>(entry->second.length);
        file.firstSlice = next;
        next += SlicesOf(file.length, set.sliceSize);
        file.path = pathOf(file.name);
        file.segment =
            std::find(segmentNames.begin(), segmentNames.end(), file.name) != segmentNames.end();
        files.push_back(std::move(file));
    }
    for (const std::string& name : segmentNames) {
        if (std::none_of(files.begin(), files.end(),
                         [&](const ProtectedFile& file) { return file.name == name; })) {
            files.push_back({pathOf(name), name, true, ProtectedState::NotProtected, 0, 0, {}});
        }
    }
    return files;
}

} // namespace

Result<RecoveryState> CheckAgainstRecovery(platform::FileSystem& fs,
                                           const std::string& descriptorPath,
                                           const std::vector<std::string>& segmentPaths,
                                           const std::function<bool()>& stop) {
    const std::string prefix(descriptorPath.substr(0, descriptorPath.rfind('\\') + 1));
    auto paths = RecoveryFilesBeside(fs, descriptorPath);
    if (!paths || paths.value().empty()) {
        return paths ? Error{ErrorCode::NotFound, "no recovery files beside " + descriptorPath}
                     : paths.error();
    }
    std::vector<std::string> names;
    for (const std::string& path : segmentPaths) {
        names.emplace_back(FileNamePart(path));
    }
    // Only names of this folder are read; only the descriptor's segments are ever written.
    const PathOf inFolder = [&prefix](std::string_view name) {
        const bool safe = par2::SafeName(name) && name.find('/') == std::string_view::npos;
        return safe ? prefix + std::string(name) : std::string();
    };
    return CheckRecoveryFiles(fs, paths.value(), names, inFolder, stop);
}

Result<RecoveryState> CheckRecoveryFiles(platform::FileSystem& fs,
                                         const std::vector<std::string>& recoveryPaths,
                                         const std::vector<std::string>& names,
                                         const PathOf& pathOf, const std::function<bool()>& stop) {
    const auto& paths = recoveryPaths;
    par2::Par2Reader reader;
    if (const Status read = ReadAll(fs, paths, reader, stop); !read) {
        return read.error();
    }
    auto set = reader.finish();
    if (!set) {
        return Error{ErrorCode::InvalidArgument, paths.front() + ": " + set.error().message};
    }
    auto files = FilesOf(set.value(), pathOf, names);
    if (!files) {
        return Error{ErrorCode::InvalidArgument, paths.front() + ": " + files.error().message};
    }
    RecoveryState state{std::move(set).value(), paths, std::move(files).value()};
    for (ProtectedFile& file : state.files) {
        if (file.state == ProtectedState::NotProtected) {
            continue;
        }
        const par2::FileEntry& entry =
            state.set.files.at(state.set.fileIds.at(&file - state.files.data()));
        if (file.path.empty()) {
            file.goodSlices.assign(
                static_cast<std::size_t>(SlicesOf(file.length, state.set.sliceSize)), false);
        } else if (const Status checked = CheckFile(fs, file, state.set, entry, stop); !checked) {
            return checked.error();
        }
        state.slicesNeeded += std::count(file.goodSlices.begin(), file.goodSlices.end(), false);
    }
    state.slicesAvailable = static_cast<std::int64_t>(state.set.recovery.size());
    return state;
}

Result<std::vector<std::string>> RecoveryFilesBeside(const platform::FileSystem& fs,
                                                     const std::string& descriptorPath) {
    const std::string prefix(descriptorPath.substr(0, descriptorPath.rfind('\\') + 1));
    return FindRecoveryFiles(fs, prefix, std::string(BaseOf(descriptorPath)));
}

Result<bool> FileMatches(platform::FileSystem& fs, const std::string& path, std::int64_t length,
                         const Md5Digest& hash, const std::function<bool()>& stop) {
    auto opened = fs.openUnlinked(path, true);
    if (!opened) {
        return WithAction("Can't read", opened.error());
    }
    const auto size = opened.value()->size();
    if (!size) {
        return WithAction("Can't read", size.error());
    }
    if (size.value() != length) {
        return false;
    }
    Transfer transfer(kCheckChunk, nullptr, stop);
    Md5 whole;
    if (const Status read = HashNext(transfer, *opened.value(), path, length, whole); !read) {
        return read.error();
    }
    return whole.digest() == hash;
}

bool RecoveryState::whole() const {
    return std::all_of(files.begin(), files.end(), [](const ProtectedFile& file) {
        return file.state == ProtectedState::Ok || file.state == ProtectedState::NotProtected;
    });
}

bool RecoveryState::repairable() const {
    return slicesNeeded <= slicesAvailable;
}

std::string ProtectedStateText(const ProtectedFile& file) {
    switch (file.state) {
    case ProtectedState::Ok:
        return "ok";
    case ProtectedState::Missing:
        return "missing";
    case ProtectedState::NotProtected:
        return "not protected by the recovery files";
    case ProtectedState::Damaged:
        break;
    }
    const auto bad = std::count(file.goodSlices.begin(), file.goodSlices.end(), false);
    return "damaged: " + std::to_string(bad) + " of " + std::to_string(file.goodSlices.size()) +
           (file.goodSlices.size() == 1 ? " slice" : " slices");
}

} // namespace dividra::core
