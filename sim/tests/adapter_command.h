// One command straight to a simulated adapter, as the protocol driver hands it over: a data area
// of `dataBytes` with u16 operands at 0, 2 and 4. For the adapter blocks' own tests.
#pragma once

#include <cstdint>
#include <vector>

#include "kv/bytes.h"
#include "kv/sim/adapter/adapter.h"

namespace kv::sim {

struct AdapterCommandResult {
    uint32_t error = 0;
    std::vector<uint8_t> data;  // the data area after the command
};

inline AdapterCommandResult sendCommand(Adapter& adapter, uint32_t oid, size_t dataBytes, uint16_t a = 0,
                                        uint16_t b = 0, uint16_t c = 0) {
    AdapterCommandResult result;
    result.data.assign(dataBytes, 0);
    writeU16(result.data, 0, a);
    writeU16(result.data, 2, b);
    writeU16(result.data, 4, c);
    OidCall call;
    call.oid = oid;
    call.data = result.data;
    result.error = adapter.command(call);
    return result;
}

}  // namespace kv::sim
