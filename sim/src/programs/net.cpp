// The system's "NET" command, as far as the suite uses it: "START <service>" starts a service
// through the service manager, at once (kv/sim/services.h: a driver service needs its file in
// System32\Drivers). It ends with 0 when the service started and 2 otherwise (not there, already
// running, refused), as the command does; traced "tool net start <service> <ok|err=n>". Any other
// command ends it with 1.
#include <string>

#include "kv/sim/host.h"
#include "kv/sim/programs.h"
#include "kv/sim/services.h"

namespace kv::sim {

ProgramExit runNetCommand(ProgramRun& run) {
    const auto& a = run.args;
    if (a.size() != 2 || lowerAscii(a[0]) != "start") {
        run.host.trace().add("tool net usage");
        return {1, 0};
    }
    const uint32_t result = startService(run.host, a[1]);
    run.host.trace().add("tool net start " + a[1] + (result ? " err=" + std::to_string(result) : " ok"));
    return {result ? 2u : 0u, 0};
}

}  // namespace kv::sim
