#include "JoinCliFixture.h"

#include <cstdlib>

#include <gtest/gtest.h>

// The join's cases run over drives in memory; here what needs real files: sha256sum reads them.
namespace dividra::cli {
namespace {

TEST_F(JoinCliTest, Sha256sumReadsTheChecksumFile) {
    if (std::system("command -v sha256sum >/dev/null") != 0) {
        GTEST_SKIP() << "sha256sum is not installed";
    }
    splitSource("data.zip", 3000000, {"--size", "1420", "--checksums"});
    const std::string out = m_dir.file("out/");
    const std::string check =
        "cd '" + out + "' && sha256sum --quiet -c --ignore-missing " + "data.sha256 >/dev/null";
    EXPECT_EQ(std::system(check.c_str()), 0);
    EXPECT_EQ(cli({"verify", out + "data.kpn"}).status, kExitOk);
}

} // namespace
} // namespace dividra::cli
