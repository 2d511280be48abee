#include "HardDriveSplitFixture.h"
#include "core/transfer/Sha256.h"

#include <gtest/gtest.h>

// A descriptor stands only over a whole set: a re-split takes the old one away first, and
// leaves the user's own files of the set's names alone.
namespace dividra::core::test {
namespace {

using platform::Fault;

const std::string kDescriptor = "c:\\out\\data.kpn";
const std::string kChecksums = "c:\\out\\data.sha256";

// A re-split of another source over a whole set that stops part-way leaves neither the old
// descriptor nor the old checksum file: a join must not take the mixed segments for a set.
TEST_F(HardDriveSplitTest, AReSplitThatStopsLeavesNoDescriptorOverTheMixedSet) {
    struct Case {
        const char* what;
        Fault fault;   // strikes the second split
        int stopAfter; // buffers before the host asks to stop; 0: never
        SplitOutcome outcome;
        const char* reason;
    };
    const Fault none{Fault::Kind::ReadFails, "c:\\none", 0, 0};
    for (const bool checksums : {false, true}) {
        for (const Case& c : {
                 Case{"write",
                      {Fault::Kind::WriteFails, "c:\\out\\data.001"},
                      0,
                      SplitOutcome::Failed,
                      "Can't write c:\\out\\data.001: Input/output error"},
                 Case{"create",
                      {Fault::Kind::CreateFails, "c:\\out\\data.002"},
                      0,
                      SplitOutcome::Failed,
                      "Can't create c:\\out\\data.002: Input/output error"},
                 Case{"interrupt", none, 40, SplitOutcome::Cancelled, "Interrupted."},
             }) {
            SCOPED_TRACE(std::string(c.what) + (checksums ? " with checksums" : ""));
            m_host.inputs.checksums = checksums;
            pick(3000000);
            ASSERT_EQ(split(), SplitOutcome::Completed);
            ASSERT_EQ(m_fs.exists(kChecksums), checksums);
            pick(3000001); // the source changed
            m_host.inputs.checksums = checksums;
            m_fs.addFault(c.fault);
            int buffers = 0;
            m_host.stopWhen = [&] { return c.stopAfter > 0 && ++buffers >= c.stopAfter; };
            m_host.events.clear();
            EXPECT_EQ(split(), c.outcome);
            m_fs.clearFaults();
            m_host.stopWhen = nullptr;
            EXPECT_FALSE(m_fs.exists(kDescriptor));
            EXPECT_FALSE(m_fs.exists(kChecksums));
            EXPECT_EQ(m_host.eventsOf("error"),
                      (std::vector<std::string>{
                          "The split stopped:\n" + std::string(c.reason) +
                          "\n\nThe segments written so far are kept; no descriptor file was "
                          "written."}));
            EXPECT_EQ(m_fs.openFiles(), 0);
        }
    }
}

// Only a checksum file of the set, as a split writes it, goes; under the exact name alone, and
// never the source. Any other stays, said so; with checksums asked for it stops the split
// before the first byte, since the new file would replace it.
TEST_F(HardDriveSplitTest, OnlyTheSetsOwnChecksumFileIsRemoved) {
    const std::string digest(64, 'a');
    const std::string ours =
        digest + "  data.000\n" + digest + "  data.001\n" + digest + "  data.bin\n";
    const std::string theUsers = digest + "  data.zip\n"; // sha256sum data.zip > data.sha256
    const std::string kept = "Kept c:\\out\\data.sha256: it is not a file of this set";
    struct Case {
        std::string before;
        bool checksums;
        SplitOutcome outcome;
        std::optional<std::string> after; // "new": the split's own
        std::vector<std::string> notes;
    };
    for (const Case& c : std::vector<Case>{
             {ours, false, SplitOutcome::Completed, std::nullopt, {}},
             {ours, true, SplitOutcome::Completed, "new", {}},
             {theUsers, false, SplitOutcome::Completed, theUsers, {kept}},
             {"not checksums\n", false, SplitOutcome::Completed, "not checksums\n", {kept}},
             {digest + "  data.001\n" + digest + "  data.zip\n",
              false,
              SplitOutcome::Completed,
              digest + "  data.001\n" + digest + "  data.zip\n",
              {kept}},
             {theUsers, true, SplitOutcome::Refused, theUsers, {}},
         }) {
        SCOPED_TRACE(c.before + (c.checksums ? " with checksums" : ""));
        m_fs.putFile(kChecksums, c.before);
        (void)m_fs.deleteFile("c:\\out\\data.000");
        pick(3000);
        m_host.inputs.checksums = c.checksums;
        m_host.events.clear();
        EXPECT_EQ(split(), c.outcome);
        const std::string fresh =
            Sha256Hex(m_source) + "  data.000\n" + Sha256Hex(m_source) + "  data.zip\n";
        EXPECT_EQ(m_fs.contents(kChecksums), c.after == "new" ? fresh : c.after);
        EXPECT_EQ(m_fs.exists("c:\\out\\data.000"), c.outcome == SplitOutcome::Completed);
        EXPECT_EQ(m_host.eventsOf("note"), c.notes);
    }
}

} // namespace
} // namespace dividra::core::test
