#include "core/split/DisketteErase.h"
#include "platform/AsciiText.h"

#include "core/split/SplitMessages.h"

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace dividra::core {
namespace {

using platform::FileSystem;
using platform::FindEntry;

bool isFolder(const FindEntry& entry) {
    return (entry.attributes & platform::attr::Directory) != 0;
}

// Every entry of the folder ("a:" for the root); a failing search reads as an empty folder.
std::vector<FindEntry> entriesOf(const FileSystem& fs, const std::string& folder) {
    auto found = fs.find(folder + "\\*.*", platform::attr::AnyFile);
    return found ? std::move(found).value() : std::vector<FindEntry>{};
}

std::vector<std::string> subfoldersOf(const FileSystem& fs, const std::string& folder) {
    std::vector<std::string> out;
    for (const FindEntry& entry : entriesOf(fs, folder)) {
        if (isFolder(entry) && entry.name != "." && entry.name != "..") {
            out.push_back(folder + "\\" + entry.name);
        }
    }
    return out;
}

// Every folder below the root, one level per pass.
std::vector<std::string> collectFolders(const FileSystem& fs, const std::string& root) {
    std::vector<std::string> all;
    std::vector<std::string> latest = subfoldersOf(fs, root);
    while (!latest.empty()) {
        all.insert(all.end(), latest.begin(), latest.end());
        std::vector<std::string> next;
        for (const std::string& folder : latest) {
            const auto inner = subfoldersOf(fs, folder);
            next.insert(next.end(), inner.begin(), inner.end());
        }
        latest = std::move(next);
    }
    return all;
}

// Whether `outer` must come after `inner`. Equal entries never do, so the reordering ends:
// every swap puts a strictly shorter entry after a longer one.
bool holds(const std::string& outer, const std::string& inner) {
    return outer != inner && outer.find(inner) != std::string::npos;
}

// Carries each folder past the entries that contain it, so subfolders come first.
void putSubfoldersFirst(std::vector<std::string>& list) {
    std::size_t i = 0;
    while (i + 1 < list.size()) {
        if (!holds(list[i + 1], list[i])) {
            ++i;
            continue;
        }
        std::size_t at = i;
        while (at + 1 < list.size() && holds(list[at + 1], list[at])) {
            std::swap(list[at], list[at + 1]);
            ++at;
        }
    }
}

// Deletes the folder's files, then the folder; the root's removal fails and is ignored.
void emptyAndRemove(FileSystem& fs, const std::string& folder) {
    for (const FindEntry& entry : entriesOf(fs, folder)) {
        if (!isFolder(entry)) {
            const std::string path = folder + "\\" + entry.name;
            (void)fs.setAttributes(path, 0);
            (void)fs.deleteFile(path);
        }
    }
    (void)fs.removeFolder(folder);
}

} // namespace

void EraseDiskette(SplitHost& host, platform::FileSystem& fs, char driveLetter) {
    host.setStatusText(text::kErasingDiskette);
    const std::string root = std::string(1, driveLetter) + ":";
    std::vector<std::string> folders = collectFolders(fs, root);
    std::sort(folders.begin(), folders.end(), platform::lessIgnoringCase);
    folders.push_back(root);
    putSubfoldersFirst(folders);
    // Where a folder's read-only state guards what it holds (Linux media), every folder must
    // lose it before anything in it can go: clear them all first.
    for (const std::string& folder : folders) {
        (void)fs.setAttributes(folder, platform::attr::Directory);
    }
    for (const std::string& folder : folders) {
        emptyAndRemove(fs, folder);
    }
    host.setStatusText(text::kSplittingAfterErase);
}

} // namespace dividra::core
