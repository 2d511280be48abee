#include "core/set/Descriptor.h"
#include "fakes/MemoryFileSystem.h"

#include <gtest/gtest.h>

namespace dividra::core {
namespace {

using platform::DriveType;
using platform::Fault;
using platform::MemoryFileSystem;

class DescriptorTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_fs.addDrive('c', DriveType::Fixed, 16 * 1024 * 1024);
        m_fs.addDrive('a', DriveType::Removable, 1457664);
    }

    MemoryFileSystem m_fs;
};

TEST_F(DescriptorTest, ThreeCrLfLinesExactly) {
    m_fs.createFolder("c:\\out");
    ASSERT_TRUE(WriteDescriptor(m_fs, "c:\\out\\data.002", ".zip", 3, 3000000).ok());
    EXPECT_EQ(m_fs.contents("c:\\out\\data.kpn"),
              "File Ext=.zip\r\nTotal Files=3\r\nTotal Size=3000000\r\n");
    EXPECT_EQ(m_fs.flushCount("c:\\out\\data.kpn"), 1);
    EXPECT_EQ(m_fs.openFiles(), 0);
}

TEST_F(DescriptorTest, ExtensionAsTheLongNameHasIt) {
    ASSERT_TRUE(WriteDescriptor(m_fs, "c:\\archive.000", "", 1, 10).ok());
    EXPECT_EQ(m_fs.contents("c:\\archive.kpn"), "File Ext=\r\nTotal Files=1\r\nTotal Size=10\r\n");
    ASSERT_TRUE(WriteDescriptor(m_fs, "c:\\setup.000", ".EXE", 1, 0).ok());
    EXPECT_EQ(m_fs.contents("c:\\setup.kpn"), "File Ext=.EXE\r\nTotal Files=1\r\nTotal Size=0\r\n");
    // 8.3 segments: the name follows the alias, the extension the long name.
    ASSERT_TRUE(WriteDescriptor(m_fs, "a:\\ANNUAL~1.002", ".text", 3, 2147483647).ok());
    EXPECT_EQ(m_fs.contents("a:\\ANNUAL~1.kpn"),
              "File Ext=.text\r\nTotal Files=3\r\nTotal Size=2147483647\r\n");
}

TEST_F(DescriptorTest, AnEarlierDescriptorIsReplacedNotAppendedTo) {
    m_fs.putFile("c:\\data.kpn", std::string(4000, 'x'));
    ASSERT_TRUE(WriteDescriptor(m_fs, "c:\\data.000", ".zip", 1, 5).ok());
    EXPECT_EQ(m_fs.contents("c:\\data.kpn"), "File Ext=.zip\r\nTotal Files=1\r\nTotal Size=5\r\n");
}

TEST_F(DescriptorTest, TheSourceItselfIsNeverReplaced) {
    m_fs.putFile("c:\\data.kpn", "precious");
    const auto id = m_fs.fileId("c:\\data.kpn");
    const Status status = WriteDescriptor(m_fs, "c:\\DATA.000", "", 1, 8, id);
    ASSERT_FALSE(status.ok());
    EXPECT_EQ(status.error().code, ErrorCode::SameFile);
    EXPECT_EQ(status.error().message, "Can't create c:\\DATA.kpn: it is the file being split");
    EXPECT_EQ(m_fs.contents("c:\\data.kpn"), "precious");
}

struct DescriptorFault {
    const char* name;
    Fault fault;
    ErrorCode code;
    const char* message;
};

class DescriptorFaultTest : public DescriptorTest,
                            public ::testing::WithParamInterface<DescriptorFault> {};

TEST_P(DescriptorFaultTest, FailsWithTheReasonAndClosesTheFile) {
    const DescriptorFault& c = GetParam();
    m_fs.addFault(c.fault);
    const Status status = WriteDescriptor(m_fs, "a:\\data.001", ".zip", 2, 1500000);
    ASSERT_FALSE(status.ok());
    EXPECT_EQ(status.error().code, c.code);
    EXPECT_TRUE(status.error().message.starts_with(c.message)) << status.error().message;
    EXPECT_EQ(m_fs.openFiles(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, DescriptorFaultTest,
    ::testing::Values(DescriptorFault{"CreateFails",
                                      {Fault::Kind::CreateFails, "a:", 0, -1,
                                       ErrorCode::AccessDenied},
                                      ErrorCode::AccessDenied,
                                      "Can't create a:\\data.kpn"},
                      DescriptorFault{"WriteFails",
                                      {Fault::Kind::WriteFails, "a:", 0, -1, ErrorCode::DiskFull},
                                      ErrorCode::DiskFull,
                                      "Can't write a:\\data.kpn"},
                      DescriptorFault{"WriteShort",
                                      {Fault::Kind::WriteShort, "a:", 20},
                                      ErrorCode::DiskFull,
                                      "Can't write a:\\data.kpn: only 20 of 50 bytes were written"},
                      DescriptorFault{"FlushFails",
                                      {Fault::Kind::FlushFails, "a:", 0, -1, ErrorCode::Io},
                                      ErrorCode::Io,
                                      "Can't write a:\\data.kpn"},
                      DescriptorFault{"CloseFails",
                                      {Fault::Kind::CloseFails, "a:", 0, -1, ErrorCode::Io},
                                      ErrorCode::Io,
                                      "Can't write a:\\data.kpn"},
                      DescriptorFault{"DisketteRemoved",
                                      {Fault::Kind::MediumVanishes, "a:", 10},
                                      ErrorCode::NotReady,
                                      "Can't write a:\\data.kpn"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DescriptorTest, AFullDisketteFailsWithDiskFull) {
    m_fs.putFile("a:\\filler", std::string(1457664, 'f'));
    const Status status = WriteDescriptor(m_fs, "a:\\data.001", ".zip", 2, 1500000);
    ASSERT_FALSE(status.ok());
    EXPECT_EQ(status.error().code, ErrorCode::DiskFull);
    EXPECT_EQ(m_fs.contents("a:\\filler")->size(), 1457664u);
    EXPECT_EQ(m_fs.openFiles(), 0);
}

} // namespace
} // namespace dividra::core
