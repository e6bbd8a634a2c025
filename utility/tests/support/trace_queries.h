// What the trace tells about the library's requests: how often a command id was asked of the
// driver, and whether the system's adapter table was read.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "kv/sim/testing/machine_builder.h"

namespace kv::diag::testing {

// Control requests whose buffer starts with the command id (the trace shows the bytes in hex).
inline size_t requestsFor(uint32_t oid) {
    char prefix[16];
    std::snprintf(prefix, sizeof prefix, "%02x%02x%02x%02x", oid & 0xFF, (oid >> 8) & 0xFF, (oid >> 16) & 0xFF,
                  oid >> 24);
    size_t count = 0;
    for (const std::string& line : kv::sim::testing::traced("ioctl")) {
        // "<code> <in> <out> <result> <bytes>"
        const size_t bytes = line.rfind(' ');
        if (bytes != std::string::npos && line.compare(bytes + 1, 8, prefix) == 0) ++count;
    }
    return count;
}

}  // namespace kv::diag::testing
