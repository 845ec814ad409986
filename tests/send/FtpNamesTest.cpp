#include "send/FtpNames.h"

#include <gtest/gtest.h>

namespace pq {
namespace {

TEST(NormalizeFtpServer, CutsTheServerAtItsFirstSlash) {
    EXPECT_EQ(NormalizeFtpServer("ftp.example.org/incoming"), "ftp.example.org");
    EXPECT_EQ(NormalizeFtpServer("ftp.example.org\\incoming\\x"), "ftp.example.org");
    EXPECT_EQ(NormalizeFtpServer("  ftp://ftp.example.org/pub  "), "ftp.example.org");
    EXPECT_EQ(NormalizeFtpServer("FTP://[::1]"), "[::1]");
    EXPECT_EQ(NormalizeFtpServer("::1"), "::1");
    // A slash in front is not cut away: nothing would be left.
    EXPECT_EQ(NormalizeFtpServer("/host"), "/host");
    EXPECT_EQ(NormalizeFtpServer(""), "");
}

TEST(NormalizeFtpFolder, GivesForwardSlashesAtBothEnds) {
    EXPECT_EQ(NormalizeFtpFolder("incoming/drawings"), "/incoming/drawings/");
    EXPECT_EQ(NormalizeFtpFolder("incoming\\drawings\\"), "/incoming/drawings/");
    EXPECT_EQ(NormalizeFtpFolder("/pub/"), "/pub/");
    EXPECT_EQ(NormalizeFtpFolder("/"), "/");
    EXPECT_EQ(NormalizeFtpFolder("  "), "");
}

TEST(FileNameOfPath, TakesThePartAfterTheLastSeparator) {
    EXPECT_EQ(FileNameOfPath("/tmp/x/plan.pdf"), "plan.pdf");
    EXPECT_EQ(FileNameOfPath("C:\\Temp\\plan.pdf"), "plan.pdf");
    EXPECT_EQ(FileNameOfPath("plan.pdf"), "plan.pdf");
}

} // namespace
} // namespace pq
