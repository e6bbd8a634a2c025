// Common ground of the library's tests: a machine built in a few lines, installed on a virtual
// clock, and the library's channel closed between tests.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "kelvalib.h"
#include "kv/sim/testing/machine_builder.h"
#include "kv/sim/testing/scratch_directory.h"

namespace kv::test {

using sim::Json;
using sim::testing::MachineBuilder;
using sim::testing::ScratchDirectory;
using sim::testing::sleptMs;
using sim::testing::traced;

class LibraryTest : public ::testing::Test {
protected:
    void TearDown() override { API_Close(); }

    // Installs the machine and lists its adapters, which selects adapter 0.
    sim::Host& start() {
        sim::Host& host = machine.install();
        list = AdapterList_A{};
        API_Open();
        API_GetAdapterList_A(&list);
        host.trace().clear();
        return host;
    }

    sim::Adapter& adapter(size_t i) { return *sim::Host::get().machine().adapters.at(i); }

    MachineBuilder machine;
    AdapterList_A list{};
};

// The trace's ioctl lines for one control code, e.g. "0012C804".
inline std::vector<std::string> ioctls(const std::string& code) {
    std::vector<std::string> out;
    for (const auto& line : traced("ioctl"))
        if (line.compare(0, code.size(), code) == 0) out.push_back(line);
    return out;
}

// UTF-16LE bytes of ASCII text, as lower-case hex.
inline std::string utf16Hex(const std::string& text) {
    static const char* digits = "0123456789abcdef";
    std::string out;
    for (unsigned char c : text) {
        out += digits[c >> 4];
        out += digits[c & 15];
        out += "00";
    }
    return out;
}

}  // namespace kv::test
