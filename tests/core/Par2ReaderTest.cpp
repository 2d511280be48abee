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
        checks.push_back({Md5Of(slice), Crc32(0, std::as_bytes(std::span(slice)))});
    }
    return checks;
}

// Two files' set, a packet a string: main, 2 descriptions, 2 checks, slices 0 and 7, creator.
struct Sample {
    std::vector<FileEntry> files;
    std::vector<std::vector<SliceCheck>> checks;
    std::vector<Md5Digest> ids; // sorted
    Md5Digest setId{};
    std::vector<std::string> packets;

    explicit Sample(std::uint64_t sliceSize = kSlice) {
        const std::string a = test::PatternBytes(600), b = test::PatternBytes(300).substr(40);
        files = {Describe("a.bin", a), Describe("sub/b.bin", b)};
        checks = {ChecksOf(a), ChecksOf(b)};
        ids = {files[0].id, files[1].id};
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
    std::string bytes() const { return with(packets.size(), ""); }
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

// Each row is read streaming long slices and holding them whole; what is kept is exact.
TEST(Par2ReaderTest, ADamagedPacketIsSkippedAndTheRestRead) {
    const Sample s, other(kSlice * 2);
    const std::string all = s.bytes(), main = s.packets[0].substr(kHeaderBytes);
    const std::map<Md5Digest, std::size_t> index{{s.files[0].id, 0}, {s.files[1].id, 1}};
    const std::string junk(kSlice, 'x');
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
             {"creator", s.flipped(7, 70), 2, 2, 2, 1},
             {"magic", s.flipped(4, 3), 2, 1, 2, 0},
             {"length 2^63", s.length(1, 1ull << 63), 1, 1, 2, 1},
             {"length beyond the file", s.length(2, all.size()), 1, 1, 2, 1},
             {"length not a multiple of 4", s.length(3, s.packets[3].size() + 2), 2, 1, 2, 1},
             {"length 4 more", s.length(1, s.packets[1].size() + 4), 1, 1, 2, 1},
             {"slice length 4 more", s.length(5, s.packets[5].size() + 4), 2, 2, 1, 1},
             {"slice length 64 less", s.length(5, s.packets[5].size() - 64), 2, 2, 1, 1},
             {"cut in a slice", all.substr(0, all.size() - 76 - 174), 2, 2, 1, 1}, // creator: 76
             {"garbage around", "xyz" + s.with(3, "PAR2\0PKT!"s + s.packets[3]), 2, 2, 2, 1},
             {"magic across reads", std::string(65533, 'x') + all, 2, 2, 2, 0},
             {"all repeated", all + all, 2, 2, 2, 0},
             {"another set's around", other.with(0, "") + all + other.packets[0], 2, 2, 2, 7},
             {"description id not its own", s.with(1, s.desc(renamed)), 1, 1, 2, 1},
             {"checks of another count", s.with(3, s.ifsc(0, {{}, {}})), 2, 1, 2, 1},
             {"slice of another size", s.with(6, s.slice(7, junk.substr(4))), 2, 2, 1, 1},
             {"exponent 65535", s.with(6, s.slice(65535, junk)), 2, 2, 1, 1},
             {"unknown type", all + Packet(s.setId, "PAR 2.0\0Unknown!"sv, "new"), 2, 2, 2, 1},
         }) {
        for (const std::uint64_t cap : {kSmallCap, kMaxPacketBytes}) {
            SCOPED_TRACE(std::string(row.what) + (cap == kSmallCap ? ", streamed" : ""));
            Par2Reader reader(cap);
            ASSERT_TRUE(ReadInPieces(reader, row.bytes).ok());
            const Result<RecoverySet> read = reader.finish();
            ASSERT_TRUE(read.ok()) << read.error().message;
            const RecoverySet& set = read.value();
            EXPECT_EQ(std::tie(set.setId, set.sliceSize, set.fileIds),
                      std::tie(s.setId, kSlice, s.ids));
            EXPECT_EQ(
                std::tuple(set.files.size(), set.checks.size(), set.recovery.size(), set.skipped),
                std::tuple(row.files, row.checks, row.slices, row.skipped));
            for (const auto& [id, file] : set.files) {
                EXPECT_EQ(FileDescBody(file), FileDescBody(s.files[index.at(id)]));
            }
            for (const auto& [id, checks] : set.checks) {
                EXPECT_EQ(IfscBody(id, checks), IfscBody(id, s.checks[index.at(id)]));
            }
            for (const auto& [exponent, place] : set.recovery) { // the first intact one
                const std::string& packet = s.packets[exponent == 0 ? 5 : 6];
                EXPECT_EQ(place, (SlicePlace{0, row.bytes.find(packet) + 68})) << exponent;
            }
        }
    }
}

TEST(Par2ReaderTest, HeadersOverlappingWithoutEndCostBoundedWork) {
    // 32768 headers 64 bytes apart, each claiming the rest: some 32 GB to hash, were each hashed.
    std::string bytes = Sample().bytes(), header(kMagic);
    const std::size_t size = bytes.size() + 64 * 32768;
    while (bytes.size() < size) {
        PutU64(header.erase(kMagic.size()), size - bytes.size());
        bytes += header + std::string(48, '\0');
    }
    Par2Reader reader;
    ASSERT_TRUE(reader.read("x.par2", bytes).ok());
    const Result<RecoverySet> read = reader.finish();
    ASSERT_TRUE(read.ok()) << read.error().message;
    EXPECT_EQ(read.value().files.size(), 2u);
    EXPECT_LT(read.value().skipped, 20);
}

// A main packet of that slice size over those files, and their descriptions.
std::string SetOf(std::uint64_t sliceSize, const std::vector<FileEntry>& files) {
    std::vector<Md5Digest> ids;
    for (const FileEntry& file : files) {
        ids.push_back(file.id);
    }
    const std::string main = MainBody(sliceSize, ids);
    std::string bytes = Packet(Md5Of(main), kMainType, main);
    for (const FileEntry& file : files) {
        bytes += Packet(Md5Of(main), kFileDescType, FileDescBody(file));
    }
    return bytes;
}

TEST(Par2ReaderTest, ASetThatCannotBeUsedIsAnError) {
    const FileEntry one = Describe("a.bin", "x");
    const FileEntry big{FileIdOf({}, 200000, "big.bin"), {}, {}, 200000, "big.bin"};
    const std::string wrongSize = " is not a multiple of 4 from 4 to 1073741824";
    for (const auto& [bytes, error] : std::vector<std::pair<std::string, std::string>>{
             {Sample().packets[1], "no main packet"},
             {SetOf(0, {one}), "slice size 0" + wrongSize},
             {SetOf(3, {one}), "slice size 3" + wrongSize},
             {SetOf((1ull << 30) + 4, {one}), "slice size 1073741828" + wrongSize},
             {SetOf(4, {}), "the main packet lists 0 files, not 1 to 32768"},
             {SetOf(4, {one, one}), "the main packet lists a file twice"},
             {SetOf(4, {big}), "the files make more than 32768 slices"},
             {SetOf(8, {big}), ""},
         }) {
        SCOPED_TRACE(error);
        Par2Reader reader;
        ASSERT_TRUE(reader.read("x.par2", bytes).ok());
        const Result<RecoverySet> read = reader.finish();
        EXPECT_EQ(read.ok() ? "" : read.error().message, error);
    }
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
    const std::string a = test::PatternBytes(5000), b = test::PatternBytes(9000).substr(77);
    dir.write("a.bin", a);
    dir.write("b.bin", b);
    // par2 0.8.1 aborts on one-letter names.
    const std::string create = "cd '" + dir.path() + "' && par2 create -q -s4096 -c2 -n1 x.par2";
    ASSERT_EQ(std::system((create + " a.bin b.bin >/dev/null").c_str()), 0);
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
        const std::string& bytes = file.name == "a.bin" ? a : b;
        EXPECT_EQ(file.hash, Md5Of(bytes));
        EXPECT_EQ(file.length, bytes.size());
        for (std::uint64_t at = 0; at < bytes.size(); at += 4096, ++index) {
            const std::string slice = Padded(bytes, at, 4096);
            for (std::uint32_t e = 0; e < 2; ++e) {
                gf16::MultiplyAdd(std::as_bytes(std::span(slice)),
                                  std::as_writable_bytes(std::span(want[e])),
                                  gf16::Power(InputConstant(index), e));
            }
        }
    }
    ASSERT_EQ(set.recovery.size(), 2u);
    for (const auto& [exponent, place] : set.recovery) {
        EXPECT_EQ(sources[place.source].substr(place.offset, 4096), want.at(exponent)) << exponent;
    }
}

} // namespace
} // namespace dividra::core::par2
