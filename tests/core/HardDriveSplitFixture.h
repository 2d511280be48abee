#pragma once

#include "ScriptedHost.h"
#include "core/split/SegmentPlan.h"
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
        SplitRequest& in = m_host.inputs;
        in.destination = Destination::HardDrive;
        in.destinationDrive = 'c';
        in.destinationFolder = "c:\\out";
        in.segmentSizeShown = sizeText;
        in.segmentBytes = SegmentSizeBytes(sizeText);
        in.sourceLongPath = path;
        in.sourceShortPath = path;
        in.sourceExtension = ".zip";
        in.sourceSize = static_cast<std::int64_t>(size);
        in.segmentCount = SegmentCount(in.sourceSize, in.segmentBytes);
    }
    // As a front end runs it: the engine, then its end shown.
    SplitOutcome split() { return split(m_fs); }
    SplitOutcome split(platform::FileSystem& fs) { return m_host.runSplit(fs); }

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
