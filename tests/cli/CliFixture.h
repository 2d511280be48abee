#pragma once

#include "CliWiring.h"
#include "cli/Cli.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

// dividra-cli run in-process over a temporary c: drive and settings file.
namespace dividra::cli {

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

class CliTest : public ::testing::Test {
protected:
    Outcome run(const std::vector<std::string>& arguments, const std::string& input = "") {
        std::istringstream in(input);
        std::ostringstream out;
        std::ostringstream err;
        const int status = RunCliHere(arguments, in, out, err, false);
        return {status, out.str(), err.str()};
    }

    // One failure line on stderr, nothing on stdout, status 2 (or the one given).
    void expectComplaint(const std::vector<std::string>& arguments, const std::string& needle,
                         int status = kExitBadInput) {
        const Outcome outcome = run(arguments);
        EXPECT_EQ(outcome.status, status) << needle;
        EXPECT_EQ(outcome.out, "");
        EXPECT_TRUE(outcome.err.starts_with("dividra-cli: ")) << outcome.err;
        EXPECT_EQ(std::count(outcome.err.begin(), outcome.err.end(), '\n'), 1) << outcome.err;
        EXPECT_NE(outcome.err.find(needle), std::string::npos) << outcome.err;
    }

    test::TempDir m_dir;
    test::ScopedEnv m_drives{"DIVIDRA_DRIVES", "c=" + m_dir.path() + ",fixed"};
    test::ScopedEnv m_registry{"DIVIDRA_REGISTRY", m_dir.file("profile/registry.reg")};
};

} // namespace dividra::cli
