// The VLAN ID typed into the VLAN list: an ID comes out exactly when the text starts with a number
// the C runtime reads the same way and that number is from 1 to 4094.
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "pages/vlan_id_text.h"

using kv::fuzz::check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto id = kv::diag::vlanIdFromText(text);

    const std::string terminated(text.substr(0, text.find('\0')));
    char* end = nullptr;
    errno = 0;
    const long long number = std::strtoll(terminated.c_str(), &end, 10);
    const bool inRange = end != terminated.c_str() && errno != ERANGE && number >= 1 && number <= 4094;
    check(id.has_value() == inRange, "an ID exactly for a leading number from 1 to 4094");
    if (id) check(*id == number, "the number the text starts with");
    return 0;
}
