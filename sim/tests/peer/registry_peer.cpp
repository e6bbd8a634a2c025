// Another program on the same machine directory for the shared-registry tests: it changes the
// registry through the platform interface, as any program of the suite does.
//   registry_peer set <key under HKLM> <value> <data> <count>   sets the value <count> times, to
//                                                              "<data>-0" ... "<data>-<count-1>"
//   registry_peer delete <key under HKLM>                       deletes the key
// Exits with 0, with 1 and the failing call's error on standard output, or with 2 for bad
// arguments.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "kv/platform/registry.h"
#include "kv/text.h"

namespace {

namespace p = kv::platform;

int failed(const char* call, uint32_t error) {
    std::printf("%s failed with %u\n", call, static_cast<unsigned>(error));
    return 1;
}

int setRepeatedly(const std::u16string& key, const std::u16string& value, const std::string& data, long count) {
    p::RegKey handle;
    if (uint32_t e =
            p::registry().createKey(p::hiveKey(p::Hive::LocalMachine), key, p::regaccess::kAllAccess, handle.receive()))
        return failed("createKey", e);
    for (long i = 0; i < count; ++i) {
        const std::u16string text = kv::utf8ToUtf16(data + "-" + std::to_string(i));
        const auto bytes = static_cast<uint32_t>((text.size() + 1) * sizeof(char16_t));
        if (uint32_t e = p::registry().setValue(handle.get(), value, p::regtype::kSz, text.c_str(), bytes))
            return failed("setValue", e);
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "set" && argc == 6)
        return setRepeatedly(kv::utf8ToUtf16(argv[2]), kv::utf8ToUtf16(argv[3]), argv[4], std::atol(argv[5]));
    if (command == "delete" && argc == 3) {
        if (uint32_t e = p::registry().deleteKey(p::hiveKey(p::Hive::LocalMachine), kv::utf8ToUtf16(argv[2])))
            return failed("deleteKey", e);
        return 0;
    }
    return 2;
}
