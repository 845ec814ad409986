#include "RecordingWindowHost.h"

#include <gtest/gtest.h>

namespace pq::test {
namespace {

TEST(CPqxView, Placeholder) {
    CRecordingWindowHost host;
    CPqxView view(&host);
    EXPECT_TRUE(view.IsToolCurrent(ToolKind::Pan));
}

} // namespace
} // namespace pq::test
