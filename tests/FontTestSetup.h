#pragma once

#include "platform/FontLibrary.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace pq::test {

// Every font test sees only the project's fonts (DejaVu and Liberation), whatever else the machine
// has, so families, files and measures are the same everywhere.
class ProjectFontsEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        const std::string config = PQ_TEST_DATA_DIR "/fonts.conf";
        setenv("FONTCONFIG_FILE", config.c_str(), 1);
        ASSERT_TRUE(LoadFontConfigFile(config)) << "cannot load " << config;
    }
};

inline ::testing::Environment* const kProjectFonts =
    ::testing::AddGlobalTestEnvironment(new ProjectFontsEnvironment);

inline bool EndsWith(const std::string& s, const std::string& tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

} // namespace pq::test
