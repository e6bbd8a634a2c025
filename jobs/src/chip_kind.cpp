#include "kv/jobs/chip_kind.h"

namespace kv::jobs {

std::string chipName(uint16_t deviceId) {
    switch (deviceId) {
        case 0x4410:
        case 0x4420:
        case 0x4430:
        case 0x4440:
        case 0x4450: {
            static constexpr char kDigits[] = "0123456789ABCDEF";
            std::string name;
            for (int shift = 12; shift >= 0; shift -= 4) name += kDigits[(deviceId >> shift) & 0xF];
            return name;
        }
        default:
            return {};
    }
}

}  // namespace kv::jobs
