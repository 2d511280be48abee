#pragma once

#include "SplitCliFixture.h"
#include "support/TestBytes.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

// dividra-cli join and verify on real folders, against sets that dividra-cli split made.
namespace dividra::cli {

class JoinCliTest : public SplitCliTest {
protected:
    // Splits a source of `size` bytes named `name` into out/ with the options given.
    std::string splitSource(const std::string& name, std::size_t size,
                            const std::vector<std::string>& options) {
        m_source = dividra::test::PatternBytes(size);
        std::vector<std::string> line{m_dir.write("src/" + name, m_source), "--to",
                                      m_dir.file("out")};
        line.insert(line.end(), options.begin(), options.end());
        const Outcome split = run(line);
        EXPECT_EQ(split.status, kExitOk) << split.err;
        return m_dir.file("out/" + name);
    }

    std::string m_source;
};

} // namespace dividra::cli
