// The system version classes; the process tests show how the version is asked for.
#include "os_version_class.h"

#include <gtest/gtest.h>

namespace kv::cyclenic {
namespace {

using platform::kPlatformNt;
using platform::kPlatformWin32s;
using platform::kPlatformWindows;

TEST(OsVersionClassTest, Table) {
    struct Case {
        uint32_t platform, major, minor;
        int expected;
    };
    const Case cases[] = {
        {kPlatformWin32s, 3, 10, 0},  {kPlatformWin32s, 0, 0, 0},  {kPlatformWindows, 3, 95, 7},
        {kPlatformWindows, 4, 0, 7},  {kPlatformWindows, 4, 1, 6}, {kPlatformWindows, 4, 10, 6},
        {kPlatformWindows, 4, 90, 5}, {kPlatformWindows, 5, 0, 5}, {kPlatformNt, 3, 51, 4},
        {kPlatformNt, 4, 0, 4},       {kPlatformNt, 5, 0, 3},      {kPlatformNt, 5, 1, 2},
        {kPlatformNt, 5, 2, 2},       {kPlatformNt, 6, 0, 1},      {kPlatformNt, 6, 1, 1},
        {kPlatformNt, 7, 0, 0},       {kPlatformNt, 10, 0, 0},     {3, 6, 0, 0},
    };
    for (const Case& c : cases) {
        platform::OsVersion v;
        v.platformId = c.platform;
        v.majorVersion = c.major;
        v.minorVersion = c.minor;
        EXPECT_EQ(osVersionClass(v), c.expected) << c.platform << " " << c.major << "." << c.minor;
    }
}

}  // namespace
}  // namespace kv::cyclenic
