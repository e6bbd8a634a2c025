// The cable analysis as the Cable page runs it: the library's analysis of the four pairs, and the
// driver restarted when the library finds the adapter absent.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace kv::jobs {

inline constexpr int kCablePairs = 4;
// Statuses of the pairs 1-2, 3-6, 4-5, 7-8, then their lengths in metres.
using CableResult = std::array<int32_t, 2 * kCablePairs>;

// "1-2", "3-6", "4-5", "7-8".
std::string_view cablePairName(int pair);

enum class PairState { Normal, Short, Open, OtherFault };
// Status 0 normal, 1 short, 2 open; any other value another fault pattern.
PairState pairState(int32_t status);
// The string-table id of the state's text on the Cable page ("Normal", "Short", "Open"); 0 for
// another fault pattern, which has no text there.
int pairStateTextId(PairState state);

// Runs API_GetCableStatus on `result`, whose entries the analysis does not write keep what they
// held (a pair without a fault gets no length). False when the library found the adapter absent:
// its driver has then been restarted (API_ReloadMiniport) and the result is untouched.
bool analyseCable(CableResult& result);

}  // namespace kv::jobs
