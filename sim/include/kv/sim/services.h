// The services of the simulated machine, as the service manager and the "NET" command see them.
// The protocol driver is the service machine.json's "protocolDriver" describes (TvNdPt60, or the
// older driver NPROBE on Windows 5.x); other services come from its "services" object. A
// service with a driver file starts only while that file is in C:\WINDOWS\System32\Drivers.
#pragma once

#include <cstdint>
#include <string_view>

namespace kv::sim {

class Host;

bool serviceInstalled(Host& host, std::string_view name);

// Starts the service; 0 or the Windows error (1056 when it runs already, 2 when its driver file
// is missing). Traced as "service start <name> <ok|err=n>".
uint32_t startService(Host& host, std::string_view name);

}  // namespace kv::sim
