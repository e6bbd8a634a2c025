// Ctrl+C as kelvactl takes it on a POSIX system: the first interrupt is only a request to stop,
// which the commands look at between their steps, and the process goes on.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <csignal>

#include "kv/platform/terminal.h"

namespace kv::kelvactl {
namespace {

TEST(Interrupt, TheFirstCtrlCIsARequestToStop) {
    platform::catchInterrupts("");
    EXPECT_FALSE(platform::interrupted());
    std::raise(SIGINT);
    EXPECT_TRUE(platform::interrupted());
}

}  // namespace
}  // namespace kv::kelvactl
#endif
