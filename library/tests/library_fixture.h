// Common ground of the library's tests: a machine built in a few lines, installed on a virtual
// clock, and the library's channel closed between tests.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
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

// A machine.json array from a list of values: command ids, EEPROM words, device objects.
template <typename T>
Json jsonArray(std::initializer_list<T> values) {
    Json a = Json::array();
    for (const auto& v : values) a.push_back(Json(v));
    return a;
}

// The trace's ioctl lines for one control code, e.g. "0012C804".
inline std::vector<std::string> ioctls(const std::string& code) {
    std::vector<std::string> out;
    for (const auto& line : traced("ioctl"))
        if (line.compare(0, code.size(), code) == 0) out.push_back(line);
    return out;
}

// A death test's status for a process ended with exit code -1: the parent sees 255 on POSIX
// systems and -1 on Windows.
inline bool exitedWithMinusOne(int status) {
    return ::testing::ExitedWithCode(255)(status) || ::testing::ExitedWithCode(-1)(status);
}

// The NUL-terminated UTF-16 text of a record's KV_WCHAR field (wchar_t on Windows, char16_t here).
inline std::u16string wideText(const KV_WCHAR* text) {
    std::u16string out;
    while (*text) out.push_back(static_cast<char16_t>(*text++));
    return out;
}

// UTF-16 text as the exports take it.
inline std::basic_string<KV_WCHAR> kvText(std::u16string_view text) {
    return std::basic_string<KV_WCHAR>(text.begin(), text.end());
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
