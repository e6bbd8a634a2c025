// Version records, WOW64, the last error and the clock on the real system.
#include "kv/platform/system.h"

#include "kv/platform/types.h"
#include "win32_test_support.h"

namespace kv::test {
namespace {

using namespace platform;

TEST(SystemTest, BothVersionRecordsTellTheSameNtVersion) {
    OsVersion extended;
    OsVersion basic;
    ASSERT_TRUE(system().versionEx(&extended));
    ASSERT_TRUE(system().version(&basic));
    EXPECT_EQ(extended.platformId, kPlatformNt);
    EXPECT_GE(extended.majorVersion, 5u);
    EXPECT_EQ(basic.majorVersion, extended.majorVersion);
    EXPECT_EQ(basic.minorVersion, extended.minorVersion);
    EXPECT_EQ(basic.buildNumber, extended.buildNumber);
    EXPECT_EQ(basic.servicePack, extended.servicePack);
}

TEST(SystemTest, WowQueryMatchesTheProcessWidth) {
    ASSERT_TRUE(system().hasIsWow64Process());
    bool wow64 = true;
    ASSERT_TRUE(system().isWow64Process(&wow64));
    // A 64-bit process never runs under WOW64; a 32-bit one does on 64-bit Windows.
    if (sizeof(void*) == 8) {
        EXPECT_FALSE(wow64);
        EXPECT_FALSE(runsUnderWow64());
    }
    EXPECT_EQ(runsUnderWow64(), wow64);
}

TEST(SystemTest, RedirectionIsRestoredWithTheValueItGaveOut) {
    void* old = nullptr;
    if (system().disableFsRedirection(&old)) {
        EXPECT_TRUE(system().revertFsRedirection(old));
    } else {
        EXPECT_NE(system().lastError(), 0u);
    }
}

TEST(SystemTest, LastErrorAndClock) {
    system().setLastError(err::kBusy);
    EXPECT_EQ(system().lastError(), err::kBusy);
    const uint64_t before = clock().nowMs();
    clock().sleep(50);
    const uint64_t slept = clock().nowMs() - before;
    EXPECT_GE(slept, 40u);
    EXPECT_LT(slept, 5000u);
}

}  // namespace
}  // namespace kv::test
