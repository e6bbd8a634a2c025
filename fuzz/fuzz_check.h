// The fuzz targets' own check: a broken property ends the run like a crash, with its message, so
// that the fuzzer keeps the input that broke it.
#pragma once

#include <cstdio>
#include <cstdlib>

namespace kv::fuzz {

inline void check(bool holds, const char* property) {
    if (holds) return;
    std::fprintf(stderr, "property broken: %s\n", property);
    std::abort();
}

}  // namespace kv::fuzz
