// The system around the adapters: the Windows version and WOW64 state, the protocol driver's
// service and the older driver's service, as machine.json's "os", "protocolDriver" and "services".
#pragma once

#include "capture_log.h"
#include "json_text.h"
#include "kv/jobs/system_facts.h"

namespace kv::capture {

JsonValue captureOs(CaptureLog& log);
// Whether a service of that name exists.
using jobs::serviceInstalled;
// "protocolDriver": the service's presence and what opening the driver's device answered
// (`openError` 0 when the library's channel opened).
JsonValue protocolDriverState(bool installed, uint32_t openError, CaptureLog& log);
// "services": the older protocol driver's service when it exists.
JsonValue captureServices(CaptureLog& log);

}  // namespace kv::capture
