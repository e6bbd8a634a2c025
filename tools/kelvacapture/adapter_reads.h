// Everything the suite reads of one adapter, through the library's read-only exports and the
// system's adapter table, as the adapter's object of machine.json.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "capture_log.h"
#include "json_text.h"
#include "kv/platform/ip_helper.h"

namespace kv::capture {

struct CapturedAdapter {
    JsonValue json;
    std::u16string guid;  // empty when it could not be read
};

// The system's adapter table, read once for every adapter; empty when the request fails, and
// `error` then tells why (0 when it was read or the machine has no adapters).
std::vector<platform::AdapterAddressInfo> readAdapterTable(CaptureLog& log, uint32_t* error);

// Selects adapter `index` of the library's list and reads it. Nothing is written to the adapter
// beyond the selection every export makes and the EEPROM port's pins, which are put back.
CapturedAdapter captureAdapter(int index, std::u16string_view description,
                               const std::vector<platform::AdapterAddressInfo>& adapterTable, CaptureLog& log);

// Selects the VLAN virtual adapter `index` and reads what its parent's "vlans" entry holds: its
// ID, GUID and IP settings (its driver and connection keys travel in registry.reg; its counters
// and registers are its parent miniport's). An empty GUID when it cannot be read.
CapturedAdapter captureVlan(int index, const std::vector<platform::AdapterAddressInfo>& adapterTable, CaptureLog& log);

}  // namespace kv::capture
