#include "kv/jobs/cable.h"

#include "kelvalib.h"
#include "kv/jobs/string_table.h"

namespace kv::jobs {

std::string_view cablePairName(int pair) {
    static constexpr std::string_view kNames[kCablePairs] = {"1-2", "3-6", "4-5", "7-8"};
    return pair >= 0 && pair < kCablePairs ? kNames[pair] : std::string_view();
}

PairState pairState(int32_t status) {
    switch (status) {
        case 0:
            return PairState::Normal;
        case 1:
            return PairState::Short;
        case 2:
            return PairState::Open;
        default:
            return PairState::OtherFault;
    }
}

int pairStateTextId(PairState state) {
    switch (state) {
        case PairState::Normal:
            return ids::cable::kNormal;
        case PairState::Short:
            return ids::cable::kShort;
        case PairState::Open:
            return ids::cable::kOpen;
        case PairState::OtherFault:
            break;
    }
    return 0;
}

bool analyseCable(CableResult& result) {
    if (API_GetCableStatus(result.data()) == 1) return true;
    API_ReloadMiniport();
    return false;
}

}  // namespace kv::jobs
