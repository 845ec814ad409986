#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

// Every test program, and every program a test starts, keeps its caches (font answers) in a temporary
// folder, never in the cache of the user running the tests. Set before any test code runs, so that
// nothing built during start-up sees the user's folder either.
const bool kTestCacheFolderSet = [] {
    const std::string cache = ::testing::TempDir() + "pq-test-cache";
    return setenv("XDG_CACHE_HOME", cache.c_str(), 1) == 0;
}();

} // namespace
