// The devices of the class "Net" in the device installer's order, hidden ones too, as
// machine.json's "devices": instance id, driver key, node state, and the captured adapter each
// one drives.
#pragma once

#include <string>
#include <vector>

#include "capture_log.h"
#include "json_text.h"

namespace kv::capture {

// `adapterGuids[i]` is the GUID of captured adapter i (empty when unknown).
JsonValue captureNetDevices(const std::vector<std::u16string>& adapterGuids, CaptureLog& log);

}  // namespace kv::capture
