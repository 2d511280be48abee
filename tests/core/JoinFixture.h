#pragma once

#include "core/join/Join.h"
#include "fakes/MemoryFileSystem.h"
#include "support/TestBytes.h"

#include <gtest/gtest.h>

// A set of three segments (1000000, 1000000 and 500000 bytes) in c:\in, joined into c:\out.
namespace dividra::core {

class JoinEngineTest : public ::testing::Test {
protected:
    JoinEngineTest() {
        fs.addDrive('c', platform::DriveType::Fixed, 64 << 20);
        fs.createFolder("c:\\in");
        fs.createFolder("c:\\out");
        source = test::PatternBytes(2500000);
        for (int n = 0; n < 3; ++n) {
            fs.putFile("c:\\in\\data.00" + std::to_string(n),
                       source.substr(static_cast<std::size_t>(n) * 1000000, 1000000));
        }
        fs.putFile("c:\\in\\data.kpn", "File Ext=.zip\r\nTotal Files=3\r\nTotal Size=2500000\r\n");
    }

    JoinResult join(bool force = false) {
        auto set = ExamineJoinSet(fs, "c:\\in\\data.kpn");
        EXPECT_TRUE(set.ok());
        JoinObserver observer;
        return JoinSegments(fs, set.value(), {"c:\\out", force}, observer);
    }

    platform::MemoryFileSystem fs;
    std::string source;
};

} // namespace dividra::core
