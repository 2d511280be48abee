#include "MemoryTestHelpers.h"
#include "fakes/MemoryFileSystem.h"

#include <gtest/gtest.h>

namespace dividra::platform {
namespace {

using Kind = Fault::Kind;

using test::bytesOf;
using test::codeOf;
using test::messageOf;

// "0123" for the bytes read, "!Io" for a failure.
std::string readOnce(File& file, std::size_t size) {
    std::string buffer(size, '\0');
    auto got = file.read(std::as_writable_bytes(std::span(buffer.data(), buffer.size())));
    return got ? buffer.substr(0, got.value()) : "!" + codeOf(got);
}

// "8" for the bytes written, "!message" for a failure.
std::string writeOnce(File& file, std::size_t size) {
    auto put = file.write(bytesOf(std::string(size, 'w')));
    return put ? std::to_string(put.value()) : "!" + messageOf(put);
}

class MemoryFaultTest : public ::testing::Test {
protected:
    MemoryFaultTest() {
        fs.addDrive('a', DriveType::Removable, 1457664);
        fs.addDrive('c', DriveType::Fixed, 1 << 20);
        fs.putFile("c:\\src", "0123456789");
    }
    // The file opened, or a failed test.
    std::unique_ptr<File> opened(Result<std::unique_ptr<File>> file) {
        if (!file) {
            throw std::runtime_error(messageOf(file));
        }
        return std::move(file).value();
    }
    MemoryFileSystem fs;
};

TEST_F(MemoryFaultTest, ReadFailsOnTheCallThatWouldPassTheByte) {
    fs.addFault({Kind::ReadFails, "C:\\SRC", 4});
    auto file = opened(fs.openRead("c:\\src"));
    EXPECT_EQ(readOnce(*file, 5), "!Io");  // one beyond: nothing delivered
    EXPECT_EQ(readOnce(*file, 4), "0123"); // up to it
    EXPECT_EQ(readOnce(*file, 1), "!Io");  // and for ever after
    EXPECT_EQ(messageOf(file->read({})), "c:\\src: Input/output error");
}

TEST_F(MemoryFaultTest, ReadShortEndsTheFileEarlyOrCutsOneRead) {
    fs.addFault({Kind::ReadShort, "c:\\src", 6});
    auto file = opened(fs.openRead("c:\\src"));
    EXPECT_EQ(readOnce(*file, 4), "0123");
    EXPECT_EQ(readOnce(*file, 4), "45");
    EXPECT_EQ(readOnce(*file, 4), "");
    EXPECT_EQ(fs.callLog("c:\\src").at(2), "read c:\\src @4 4 -> 2");
    fs.clearFaults();
    fs.addFault({Kind::ReadShort, "c:\\src", 1, 1});
    EXPECT_EQ(readOnce(*file, 8), "6");
    EXPECT_EQ(readOnce(*file, 8), "789");
}

TEST_F(MemoryFaultTest, WriteFaultsCountEveryFileOfTheirDrive) {
    fs.addFault({Kind::WriteFails, "a:", 150, -1, ErrorCode::DiskFull});
    auto first = opened(fs.createAlways("a:\\DATA.001"));
    auto second = opened(fs.createAlways("a:\\DATA.002"));
    auto elsewhere = opened(fs.createAlways("c:\\DATA.001"));
    EXPECT_EQ(writeOnce(*first, 100), "100");
    EXPECT_EQ(writeOnce(*second, 51), "!a:\\DATA.002: No space left on device");
    EXPECT_EQ(writeOnce(*second, 50), "50");
    EXPECT_EQ(writeOnce(*first, 0), "!a:\\DATA.001: No space left on device");
    EXPECT_EQ(writeOnce(*elsewhere, 200), "200");
    EXPECT_EQ(fs.contents("a:\\DATA.002"), std::string(50, 'w'));
}

TEST_F(MemoryFaultTest, WriteShortStoresWhatRemains) {
    fs.addFault({Kind::WriteShort, "a:\\data.*", 10});
    auto file = opened(fs.createAlways("a:\\DATA.001"));
    EXPECT_EQ(writeOnce(*file, 8), "8");
    EXPECT_EQ(writeOnce(*file, 8), "2");
    EXPECT_EQ(writeOnce(*file, 8), "0");
    EXPECT_EQ(fs.writeSizes("a:\\data.001"), (std::vector<std::int64_t>{8, 2, 0}));
    EXPECT_EQ(fs.contents("a:\\DATA.001"), std::string(10, 'w'));
}

TEST_F(MemoryFaultTest, FlushCreateAndCloseFaultsCountCalls) {
    fs.addFault({Kind::FlushFails, "a:", 1, 1});
    fs.addFault({Kind::CreateFails, "a:\\*.002", 0, 1, ErrorCode::AccessDenied});
    fs.addFault({Kind::CloseFails, "a:\\DATA.001", 0});
    auto file = opened(fs.createAlways("a:\\DATA.001"));
    EXPECT_TRUE(file->flush());
    EXPECT_EQ(messageOf(file->flush()), "a:\\DATA.001: Input/output error");
    EXPECT_TRUE(file->flush()); // spent
    EXPECT_EQ(fs.flushCount("A:\\data.001"), 3);
    EXPECT_EQ(codeOf(fs.createAlways("a:\\DATA.002")), "AccessDenied");
    EXPECT_FALSE(fs.exists("a:\\DATA.002"));
    EXPECT_EQ(codeOf(fs.createAlways("a:\\DATA.002")), "ok");
    EXPECT_EQ(codeOf(file->close()), "Io");
    EXPECT_EQ(codeOf(fs.openRead("a:\\DATA.001")), "ok"); // released all the same
    EXPECT_EQ(fs.openFiles(), 0);
}

TEST_F(MemoryFaultTest, MediumVanishingKeepsThePartOnTheDisk) {
    fs.addFault({Kind::MediumVanishes, "a:", 1000, 1});
    Medium& disk = *fs.medium('a');
    auto file = opened(fs.createAlways("a:\\DATA.001"));
    EXPECT_EQ(writeOnce(*file, 600), "600");
    EXPECT_EQ(writeOnce(*file, 600), "!a:\\DATA.001: No medium found");
    EXPECT_EQ(fs.medium('a'), nullptr);
    EXPECT_EQ(fs.freeBytes(1), -1);
    EXPECT_EQ(codeOf(file->flush()), "NotReady");
    EXPECT_EQ(codeOf(fs.createAlways("a:\\DATA.002")), "NotReady");
    EXPECT_TRUE(file->close());
    EXPECT_EQ(disk.listAll(), std::vector<std::string>{"\\DATA.001 1000"});
    fs.setMediumPresent('a', true);
    EXPECT_EQ(fs.freeBytes(1), 1457664 - 1024);
    EXPECT_EQ(fs.callLog("a:\\DATA.001").at(2), "write a:\\DATA.001 @600 600 -> NotReady");
}

TEST_F(MemoryFaultTest, CountersAndLogTraceACopyInChunks) {
    const std::string big(100000, 'b');
    fs.putFile("c:\\big", big);
    EXPECT_EQ(fs.freeBytes(1), 1457664);
    auto source = opened(fs.openRead("c:\\big"));
    auto target = opened(fs.createAlways("a:\\DATA.001"));
    std::string buffer(49152, '\0');
    std::size_t got = 0;
    while ((got = source->read(std::as_writable_bytes(std::span(buffer))).value()) != 0) {
        EXPECT_EQ(target->write(bytesOf(std::string_view(buffer).substr(0, got))).value(), got);
    }
    EXPECT_TRUE(target->flush());
    EXPECT_TRUE(target->close());
    source.reset();
    EXPECT_EQ(fs.openFiles(), 0);
    EXPECT_EQ(fs.bytesRead(), 100000);
    EXPECT_EQ(fs.bytesWritten(), 100000);
    EXPECT_EQ(fs.writeSizes("a:\\DATA.001"), (std::vector<std::int64_t>{49152, 49152, 1696}));
    EXPECT_EQ(fs.contents("a:\\DATA.001"), big);
    EXPECT_EQ(
        fs.callLog("c:\\big"),
        (std::vector<std::string>{"openRead c:\\big", "read c:\\big @0 49152",
                                  "read c:\\big @49152 49152", "read c:\\big @98304 49152 -> 1696",
                                  "read c:\\big @100000 49152 -> 0", "implicitClose c:\\big"}));
    EXPECT_EQ(fs.callLog("a:\\DATA.001"),
              (std::vector<std::string>{"createAlways a:\\DATA.001", "write a:\\DATA.001 @0 49152",
                                        "write a:\\DATA.001 @49152 49152",
                                        "write a:\\DATA.001 @98304 1696", "flush a:\\DATA.001",
                                        "close a:\\DATA.001"}));
    EXPECT_EQ(fs.callLog("a:"), std::vector<std::string>{"freeBytes a: -> 1457664"});
}

} // namespace
} // namespace dividra::platform
