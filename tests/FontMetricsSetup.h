#pragma once

// Text is measured with the project's fonts, as the programs measure it: every test program that lays
// out text includes this once through its helpers.

#include "FontTestSetup.h"
#include "render/FontTextMetrics.h"

#include <gtest/gtest.h>

namespace pq::test {

class FontMetricsEnvironment : public ::testing::Environment {
public:
    void SetUp() override { InstallFontTextMetrics(); }
};
inline ::testing::Environment* const kFontMetrics =
    ::testing::AddGlobalTestEnvironment(new FontMetricsEnvironment);

} // namespace pq::test
