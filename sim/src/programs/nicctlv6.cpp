// The adapter enable/disable tool. Its command lines:
//   /dnicdrv /nicid <adapter GUID>   disable the adapter's device
//   /enicdrv /nicid <adapter GUID>   enable it; the adapter answers again after its restart time
// Every command ends by writing "completed.txt"; a GUID of no adapter changes nothing. A command
// line it does not understand ends the tool at once with exit code 1 and no files.
#include "kv/platform/device_installer.h"
#include "kv/sim/host.h"
#include "kv/sim/programs.h"
#include "kv/text.h"

namespace kv::sim {

namespace {

constexpr uint32_t kDefaultDelayMs = 1000;

Device* deviceOf(Machine& machine, const std::string& guid) {
    const Adapter* adapter = machine.adapterByGuid(utf8ToUtf16(guid));
    if (!adapter) return nullptr;
    for (auto& d : machine.devices)
        if (d.adapterIndex == static_cast<int>(adapter->index)) return &d;
    return nullptr;
}

}  // namespace

ProgramExit runNicControlTool(ProgramRun& run) {
    uint32_t change = 0;
    std::string guid;
    bool ok = true;
    for (size_t i = 0; i < run.args.size() && ok; ++i) {
        const std::string sw = lowerAscii(run.args[i]);
        if ((sw == "/dnicdrv" || sw == "/enicdrv") && change == 0)
            change = sw == "/dnicdrv" ? platform::setup::kDicsDisable : platform::setup::kDicsEnable;
        else if (sw == "/nicid" && i + 1 < run.args.size() && guid.empty())
            guid = run.args[++i];
        else
            ok = false;
    }
    if (!ok || change == 0 || guid.empty()) {
        run.host.trace().add("tool nicctlv6 usage");
        return {1, 0};
    }
    const ToolSettings tool = toolSettings(run.host, "nicctlv6", kDefaultDelayMs);
    Host& host = run.host;
    finishLater(run, tool, "nicctlv6", [&host, change, guid] {
        const std::string what = (change == platform::setup::kDicsDisable ? "disable " : "enable ") + guid;
        Device* device = deviceOf(host.machine(), guid);
        if (!device) return what + " (no such adapter)";
        changeDeviceState(host.machine(), *device, change);
        return what;
    });
    return {0, tool.delayMs};
}

}  // namespace kv::sim
