// Times filling the file list with 100,000 files and the folder list with 10,000 subfolders,
// on the in-memory file system and on a real temporary folder. Run a Release build.
#include "fakes/MemoryFileSystem.h"
#include "platform/DriveTable.h"
#include "platform/PosixFileSystem.h"
#include "toolkit/DirectoryListBox.h"
#include "toolkit/FileListBox.h"

#include <QApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <vector>

namespace {

using namespace dividra;
using toolkit::DirectoryListBox;
using toolkit::FileListBox;

constexpr int FileCount = 100000;
constexpr int FolderCount = 10000;
constexpr int Rounds = 3;

// Four characters unique to i, so the 8.3 aliases differ in their first six characters.
std::string uniqueStem(int i) {
    static const char digits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
    std::string stem;
    for (int k = 0; k < 4; ++k, i /= 36) {
        stem.insert(stem.begin(), digits[i % 36]);
    }
    return stem;
}

// Long names of mixed case and suffix, in a shuffled order, so sorting has work to do.
std::vector<std::string> names(int count, const char* tail, bool suffixes) {
    static const char* const endings[] = {".txt", ".ZIP", ".Doc", ".jpeg", "", ".tar.gz"};
    std::vector<std::string> out;
    for (int i = 0; i < count; ++i) {
        std::string name = uniqueStem(i) + tail;
        if (i % 2 == 1) {
            for (char& c : name) {
                c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
            }
        }
        out.push_back(suffixes ? name + endings[i % 6] : name);
    }
    std::shuffle(out.begin(), out.end(), std::mt19937(42));
    return out;
}

// Best and worst of a few rounds, in milliseconds.
void measure(const char* what, const std::function<void()>& round) {
    qint64 best = -1;
    qint64 worst = 0;
    for (int i = 0; i < Rounds; ++i) {
        QElapsedTimer timer;
        timer.start();
        round();
        const qint64 took = timer.elapsed();
        best = best < 0 ? took : std::min(best, took);
        worst = std::max(worst, took);
    }
    std::printf("  %-44s best %5lld ms, worst %5lld ms\n", what, static_cast<long long>(best),
                static_cast<long long>(worst));
}

void expectCount(const QListWidget& list, int wanted) {
    if (list.count() != wanted) {
        std::fprintf(stderr, "list holds %d items, expected %d\n", list.count(), wanted);
        std::exit(1);
    }
}

void run(const char* title, platform::FileSystem& fs) {
    std::printf("%s\n", title);
    measure("find c:\\files\\*.* (the file system alone)",
            [&] { static_cast<void>(fs.find("c:\\files\\*.*", 0)); });
    FileListBox files;
    files.setFileSystem(&fs);
    files.resize(300, 400);
    files.show();
    measure("FileListBox, 100,000 files", [&] {
        static_cast<void>(files.setDirectory(QStringLiteral("c:\\files")));
        QApplication::processEvents(); // layout and first paint
        expectCount(files, FileCount);
    });
    files.setShowIcons(true);
    measure("FileListBox, 100,000 files with icons", [&] {
        static_cast<void>(files.setDirectory(QStringLiteral("c:\\files")));
        QApplication::processEvents();
        expectCount(files, FileCount);
    });
    DirectoryListBox folders;
    folders.setFileSystem(&fs);
    folders.resize(300, 400);
    folders.show();
    measure("DirectoryListBox, 10,000 subfolders", [&] {
        static_cast<void>(folders.setDirectory(QStringLiteral("c:\\dirs")));
        QApplication::processEvents();
        expectCount(folders, FolderCount + 2);
    });
}

void onMemory() {
    platform::MemoryFileSystem fs;
    fs.addDrive('c', platform::DriveType::Fixed, std::int64_t{1} << 40, "Bench");
    fs.createFolder("c:\\files");
    for (const std::string& name : names(FileCount, " annual report", true)) {
        fs.putFile("c:\\files\\" + name, {});
    }
    for (const std::string& name : names(FolderCount, " project folder", false)) {
        fs.createFolder("c:\\dirs\\" + name);
    }
    run("In memory:", fs);
}

// Long names that share their first six characters make every alias search longer: the file
// system's own cost, shown apart from the lists.
void sharedPrefixes() {
    std::printf("Long names sharing their first six characters (find alone, in memory):\n");
    for (int count : {1000, 2000, 4000}) {
        platform::MemoryFileSystem fs;
        fs.addDrive('c', platform::DriveType::Fixed, std::int64_t{1} << 40);
        fs.createFolder("c:\\files");
        for (int i = 0; i < count; ++i) {
            fs.putFile("c:\\files\\report of " + std::to_string(i) + ".txt", {});
        }
        const std::string what = std::to_string(count) + " files";
        measure(what.c_str(), [&] { static_cast<void>(fs.find("c:\\files\\*.*", 0)); });
    }
}

void onDisk() {
    char pattern[] = "/tmp/dividra-list-bench.XXXXXX";
    const char* made = ::mkdtemp(pattern);
    if (made == nullptr) {
        std::perror("mkdtemp");
        std::exit(1);
    }
    const std::filesystem::path root(made);
    std::filesystem::create_directories(root / "files");
    for (const std::string& name : names(FileCount, " annual report", true)) {
        std::ofstream(root / "files" / name).put('x');
    }
    for (const std::string& name : names(FolderCount, " project folder", false)) {
        std::filesystem::create_directories(root / "dirs" / name);
    }
    auto table = platform::DriveTable::parse("c=" + root.string() + ",fixed");
    if (table.ok()) {
        platform::PosixFileSystem fs(table.value());
        run(("On disk (" + root.string() + "):").c_str(), fs);
    }
    std::filesystem::remove_all(root);
}

} // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    onMemory();
    onDisk();
    sharedPrefixes();
    return 0;
}
