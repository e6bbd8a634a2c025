// Self-checks that find a fault in the suite itself (a worker flooding the window, a second
// thread inside the library) end the process with a message when KELVA_STRICT is set, as the
// test runs set it; otherwise the suite goes on as safely as it can.
#pragma once

#include <cstdlib>
#include <cstring>

namespace kv {

inline bool strictChecks() {
    static const bool strict = [] {
        const char* value = std::getenv("KELVA_STRICT");
        return value != nullptr && *value != '\0' && std::strcmp(value, "0") != 0;
    }();
    return strict;
}

}  // namespace kv
