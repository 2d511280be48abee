#include "core/recovery/Par2Reader.h"
#include "core/recovery/Galois.h"
#include "support/TempDir.h"
#include "support/TestBytes.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

// Files a stranger made: each damage loses the packet it hits and nothing else.
namespace dividra::core::par2 {
namespace {

using namespace std::literals;

constexpr std::uint64_t kSlice = 256;
// Below the recovery packets' length, so their data streams past as in a big set.
constexpr std::uint64_t kSmallCap = 200;

std::span<const std::byte> Bytes(std::string_view text) {
    return std::as_bytes(std::span(text.data(), text.size()));
}

FileEntry Describe(std::string name, std::string_view data) {
    FileEntry file{{}, Md5Of(data), Md5Of(data.substr(0, kHeadBytes)), data.size(), name};
    file.id = FileIdOf(file.headHash, file.length, file.name);
    return file;
}

std::string Padded(std::string_view data, std::uint64_t at, std::uint64_t size) {
    std::string slice(data.substr(at, size));
    slice.resize(size, '\0');
    return slice;
}

std::vector<SliceCheck> ChecksOf(std::string_view data, std::uint64_t size = kSlice) {
    std::vector<SliceCheck> checks;
    for (std::uint64_t at = 0; at < data.size(); at += size) {
        const std::string slice = Padded(data, at, size);
        checks.push_back({Md5Of(slice), Crc32(0, Bytes(slice))});
    }
    return checks;
}

// Two files' set, a packet a string: main, 2 descriptions, 2 checks, slices 0 and 7, creator.
struct Sample {
    std::vector<FileEntry> files;
    std::vector<std::vector<SliceCheck>> checks;
    Md5Digest setId{};
    std::vector<std::string> packets;

    explicit Sample(std::uint64_t sliceSize = kSlice) {
        const std::string a = test::PatternBytes(600), b = test::PatternBytes(300).substr(40);
        files = {Describe("a.bin", a), Describe("sub/b.bin", b)};
        checks = {ChecksOf(a), ChecksOf(b)};
        std::vector<Md5Digest> ids{files[0].id, files[1].id};
        SortIds(ids);
        const std::string main = MainBody(sliceSize, ids);
        setId = Md5Of(main);
        packets = {Packet(setId, kMainType, main),
                   desc(files[0]),
                   desc(files[1]),
                   ifsc(0, checks[0]),
                   ifsc(1, checks[1]),
                   slice(0, Padded(b, 0, sliceSize)),
                   slice(7, Padded(a, 9, sliceSize)),
                   Packet(setId, kCreatorType, CreatorBody("Dividra test"))};
    }
    std::string desc(const FileEntry& file) const {
        return Packet(setId, kFileDescType, FileDescBody(file));
    }
    std::string ifsc(std::size_t file, const std::vector<SliceCheck>& slices) const {
        return Packet(setId, kIfscType, IfscBody(files[file].id, slices));
    }
    std::string slice(std::uint32_t exponent, const std::string& data) const {
        return RecoveryPacketHead(setId, exponent, data) + data;
    }
    // All packets, packet n replaced.
    std::string with(std::size_t n, std::string_view packet) const {
        std::string all;
        for (std::size_t k = 0; k < packets.size(); ++k) {
            all += k == n ? std::string(packet) : packets[k];
        }
        return all;
    }
    std::string flipped(std::size_t n, std::size_t at) const {
        std::string packet = packets[n];
        packet[at] ^= 0x10;
        return with(n, packet);
    }
    std::string length(std::size_t n, std::uint64_t length) const {
        std::string packet = packets[n], field;
        PutU64(field, length);
        return with(n, packet.replace(kLengthAt, 8, field));
    }
};

// The bytes in 13-byte reads, so every field sometimes straddles two.
Status ReadInPieces(Par2Reader& reader, const std::string& bytes) {
    std::size_t at = 0;
    return reader.read("x.par2", bytes.size(), [&](std::span<std::byte> buffer) {
        const std::size_t count = std::min({buffer.size(), bytes.size() - at, std::size_t{13}});
        std::memcpy(buffer.data(), bytes.data() + at, count);
        at += count;
        return Result<std::size_t>(count);
    });
}

TEST(Par2ReaderTest, ReadsEveryFieldBack) {
    const Sample sample;
    Par2Reader reader;
    ASSERT_TRUE(reader.read("x.par2", sample.with(8, "")).ok());
    const Result<RecoverySet> read = reader.finish();
    ASSERT_TRUE(read.ok()) << read.error().message;
    const RecoverySet& set = read.value();
    EXPECT_EQ(set.setId, sample.setId);
    EXPECT_EQ(set.sliceSize, kSlice);
    std::vector<Md5Digest> ids{sample.files[0].id, sample.files[1].id};
    SortIds(ids);
    EXPECT_EQ(set.fileIds, ids);
    ASSERT_EQ(set.files.size(), 2u);
    for (std::size_t n = 0; n < 2; ++n) { // the builders write every field
        const Md5Digest& id = sample.files[n].id;
        EXPECT_EQ(FileDescBody(set.files.at(id)), FileDescBody(sample.files[n]));
        EXPECT_EQ(IfscBody(id, set.checks.at(id)), IfscBody(id, sample.checks[n]));
    }
    const std::size_t at = sample.with(8, "").find(sample.packets[5]) + 68;
    const std::map<std::uint32_t, SlicePlace> places{{0, {0, at}},
                                                     {7, {0, at + sample.packets[5].size()}}};
    EXPECT_EQ(set.recovery, places);
    EXPECT_EQ(set.sources, std::vector<std::string>{"x.par2"});
    EXPECT_EQ(set.skipped, 0);
}

TEST(Par2ReaderTest, ADamagedPacketIsSkippedAndTheRestRead) {
    const Sample s, other(kSlice * 2);
    const std::string all = s.with(8, ""), main = s.packets[0].substr(kHeaderBytes);
    FileEntry renamed = s.files[0];
    renamed.name = "c.bin";
    struct Row {
        const char* what;
        std::string bytes;
        std::size_t files, checks, slices;
        std::int64_t skipped;
    };
    for (const Row& row : std::vector<Row>{
             {"intact", all, 2, 2, 2, 0},
             {"main, a repeat later", s.flipped(0, 70) + s.packets[0], 2, 2, 2, 1},
             {"main under another set id", Packet(other.setId, kMainType, main) + all, 2, 2, 2, 1},
             {"description", s.flipped(1, 100), 1, 1, 2, 1},
             {"checks", s.flipped(3, 64), 2, 1, 2, 1},
             {"slice data", s.flipped(5, 200), 2, 2, 1, 1},
             {"slice exponent", s.flipped(5, 64), 2, 2, 1, 1},
             {"creator", s.flipped(7, 70), 2, 2, 2, 1},
             {"magic", s.flipped(4, 3), 2, 1, 2, 0},
             {"length 2^63", s.length(1, 1ull << 63), 1, 1, 2, 1},
             {"length beyond the file", s.length(2, all.size()), 1, 1, 2, 1},
             {"length not a multiple of 4", s.length(3, s.packets[3].size() + 2), 2, 1, 2, 1},
             {"length 4 more", s.length(1, s.packets[1].size() + 4), 1, 1, 2, 1},
             {"slice length 4 more", s.length(5, s.packets[5].size() + 4), 2, 2, 1, 1},
             {"slice length 64 less", s.length(5, s.packets[5].size() - 64), 2, 2, 1, 1},
             {"file cut in a slice", all.substr(0, all.size() - s.packets[7].size() - 174), 2, 2, 1,
              1},
             {"garbage before and between", "xyz" + s.with(3, "PAR2\0PKT!"s + s.packets[3]), 2, 2,
              2, 1},
             {"64 KiB of garbage first, a magic across reads", std::string(65533, 'x') + all, 2, 2,
              2, 0},
             {"all repeated", all + all, 2, 2, 2, 0},
             {"another set's, before and after", other.with(0, "") + all + other.packets[0], 2, 2,
              2, 7},
             {"description id not its own", s.with(1, s.desc(renamed)), 1, 1, 2, 1},
             {"checks of another count", s.with(3, s.ifsc(0, {{}, {}})), 2, 1, 2, 1},
             {"slice of another size", s.with(6, s.slice(7, std::string(kSlice - 4, 'x'))), 2, 2, 1,
              1},
             {"exponent 65535", s.with(6, s.slice(65535, std::string(kSlice, 'x'))), 2, 2, 1, 1},
             {"unknown type", all + Packet(s.setId, "PAR 2.0\0Unknown!"sv, "new"), 2, 2, 2, 1},
         }) {
        SCOPED_TRACE(row.what);
        Par2Reader reader(kSmallCap);
        ASSERT_TRUE(ReadInPieces(reader, row.bytes).ok());
        const Result<RecoverySet> read = reader.finish();
        ASSERT_TRUE(read.ok()) << read.error().message;
        EXPECT_EQ(read.value().files.size(), row.files);
        EXPECT_EQ(read.value().checks.size(), row.checks);
        EXPECT_EQ(read.value().recovery.size(), row.slices);
        EXPECT_EQ(read.value().skipped, row.skipped);
    }
}

TEST(Par2ReaderTest, ASetThatCannotBeUsedIsAnError) {
    const FileEntry one = Describe("a.bin", "x");
    const FileEntry big{FileIdOf({}, 200000, "big.bin"), {}, {}, 200000, "big.bin"};
    const std::string wrongSize = " is not a multiple of 4 from 4 to 1073741824";
    struct Row {
        std::uint64_t sliceSize;
        std::vector<FileEntry> files;
        std::string error;
    };
    for (const Row& row : std::vector<Row>{
             {0, {one}, "slice size 0" + wrongSize},
             {3, {one}, "slice size 3" + wrongSize},
             {(1ull << 30) + 4, {one}, "slice size 1073741828" + wrongSize},
             {4, {}, "the main packet lists 0 files, not 1 to 32768"},
             {4, {one, one}, "the main packet lists a file twice"},
             {4, {big}, "the files make more than 32768 slices"},
             {8, {big}, ""},
         }) {
        SCOPED_TRACE(row.sliceSize);
        std::vector<Md5Digest> ids;
        for (const FileEntry& file : row.files) {
            ids.push_back(file.id);
        }
        const std::string main = MainBody(row.sliceSize, ids);
        std::string bytes = Packet(Md5Of(main), kMainType, main);
        for (const FileEntry& file : row.files) {
            bytes += Packet(Md5Of(main), kFileDescType, FileDescBody(file));
        }
        Par2Reader reader;
        ASSERT_TRUE(reader.read("x.par2", bytes).ok());
        const Result<RecoverySet> read = reader.finish();
        EXPECT_EQ(read.ok() ? "" : read.error().message, row.error);
    }
    Par2Reader none;
    ASSERT_TRUE(none.read("x.par2", Sample().packets[1]).ok());
    EXPECT_EQ(none.finish().error().message, "no main packet");
}

TEST(Par2ReaderTest, OnlyRelativeNamesWithoutEscapesAreSafe) {
    for (const std::string_view name : {"a.bin", "sub/b.bin", "..a", "a..b/c", "a b"}) {
        EXPECT_TRUE(SafeName(name)) << name;
    }
    for (const std::string_view name :
         std::vector<std::string_view>{"", "/etc/passwd", "..", "../a", "a/../b", "a/..", "a\\b",
                                       "a\0b"sv, "a\tb", "a\x7f"}) {
        EXPECT_FALSE(SafeName(name)) << name;
    }
}

TEST(Par2ReaderTest, ReadsWhatPar2Wrote) {
    if (std::system("command -v par2 >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "par2 is not installed";
    }
    const test::TempDir dir;
    const std::vector<std::string> data{test::PatternBytes(5000), test::PatternBytes(9000)};
    dir.write("a.bin", data[0]);
    dir.write("b.bin", data[1].substr(77));
    // par2 0.8.1 aborts on one-letter names.
    ASSERT_EQ(std::system(("cd '" + dir.path() +
                           "' && par2 create -q -s4096 -c2 -n1 x.par2 a.bin b.bin >/dev/null")
                              .c_str()),
              0);
    Par2Reader reader;
    std::vector<std::string> sources;
    for (const std::string name : {"x.par2", "x.vol0+2.par2"}) {
        sources.push_back(test::TempDir::read(dir.file(name)));
        ASSERT_TRUE(reader.read(name, sources.back()).ok());
    }
    const Result<RecoverySet> read = reader.finish();
    ASSERT_TRUE(read.ok()) << read.error().message;
    const RecoverySet& set = read.value();
    ASSERT_EQ(set.files.size(), 2u);
    std::vector<std::string> want(2, std::string(4096, '\0')); // by exponent
    std::int64_t index = 0;
    for (const Md5Digest& id : set.fileIds) {
        const FileEntry& file = set.files.at(id);
        const std::string bytes = file.name == "a.bin" ? data[0] : data[1].substr(77);
        EXPECT_EQ(file.hash, Md5Of(bytes));
        EXPECT_EQ(file.length, bytes.size());
        for (std::uint64_t at = 0; at < bytes.size(); at += 4096, ++index) {
            const std::string slice = Padded(bytes, at, 4096);
            for (std::uint32_t e = 0; e < 2; ++e) {
                gf16::MultiplyAdd(Bytes(slice), std::as_writable_bytes(std::span(want[e])),
                                  gf16::Power(InputConstant(index), e));
            }
        }
    }
    ASSERT_EQ(set.recovery.size(), 2u);
    for (const auto& [exponent, place] : set.recovery) {
        ASSERT_LT(exponent, 2u);
        EXPECT_EQ(sources[place.source].substr(place.offset, 4096), want[exponent]) << exponent;
    }
}

} // namespace
} // namespace dividra::core::par2
