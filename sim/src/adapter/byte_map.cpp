#include "kv/sim/adapter/byte_map.h"

#include <stdexcept>
#include <string>

namespace kv::sim {

void applyByteMap(const Json& map, std::span<uint8_t> bytes, std::string_view what) {
    if (map.isNull()) return;
    if (!map.isObject()) throw std::runtime_error(std::string(what) + " must be an object of offset: byte");
    for (const auto& [key, value] : map.items()) {
        const uint64_t offset = Json(key).asUIntOrHex(UINT64_MAX);
        if (offset >= bytes.size())
            throw std::runtime_error(std::string(what) + ": offset \"" + key + "\" lies outside its " +
                                     std::to_string(bytes.size()) + " bytes");
        const uint64_t byte = value.asUIntOrHex(UINT64_MAX);
        if (byte > 0xFF) throw std::runtime_error(std::string(what) + ": the value at \"" + key + "\" is not a byte");
        bytes[offset] = static_cast<uint8_t>(byte);
    }
}

}  // namespace kv::sim
