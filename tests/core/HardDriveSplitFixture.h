#pragma once

#include "ScriptedHost.h"
#include "core/split/SplitCommand.h"
#include "fakes/MemoryFileSystem.h"
#include "support/TestBytes.h"

#include <gtest/gtest.h>

#include <cstdio>

// Hard-drive splits of c:\data.zip into c:\out on an in-memory fixed drive.
namespace dividra::core::test {

class HardDriveSplitTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_drive = &m_fs.addDrive('c', platform::DriveType::Fixed, 64 * 1024 * 1024);
        m_drive->setClusterSize(1);
        m_fs.createFolder("c:\\out");
    }

    // A source of that size, picked with that segment size, as the window would pass it.
    void pick(std::size_t size, const std::string& sizeText = "1420",
              const std::string& path = "c:\\data.zip") {
        m_source = dividra::test::PatternBytes(size);
        m_fs.putFile(path, m_source);
        SplitInputs& in = m_host.inputs;
        in.destination = Destination::HardDrive;
        in.destinationDrive = 'c';
        in.destinationFolder = "c:\\out";
        in.segmentSizeText = sizeText;
        in.sourceLongPath = path;
        in.sourceShortPath = path;
        in.sourceExtension = ".zip";
        in.sourceSize = static_cast<std::int64_t>(size);
        in.segmentCountText =
            std::to_string(SegmentCountFor(in.sourceSize, SegmentSizeBytesFor(sizeText)));
    }
    static std::int64_t SegmentSizeBytesFor(const std::string& text) {
        return std::int64_t{TextToInt(text)} * 1024;
    }
    static std::int64_t SegmentCountFor(std::int64_t size, std::int64_t segment) {
        return segment <= 0 ? 0 : (size + segment - 1) / segment;
    }

    SplitOutcome split() { return ToolBtnSplitClick(m_host, m_fs); }

    // The segments c:\out\data.000 on, joined.
    std::string joined(int count) const {
        std::string all;
        for (int n = 0; n < count; ++n) {
            char name[32];
            std::snprintf(name, sizeof name, "c:\\out\\data.%03d", n);
            all += m_fs.contents(name).value_or("<missing>");
        }
        return all;
    }

    ProfileScope m_profile;
    platform::MemoryFileSystem m_fs;
    platform::Medium* m_drive = nullptr;
    ScriptedHost m_host;
    std::string m_source;
};

} // namespace dividra::core::test
