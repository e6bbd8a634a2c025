// Restarting (reloading) the current adapter's miniport driver after its settings changed: a
// 32-bit process on 64-bit Windows has the enable/disable tool do it; otherwise the device
// installer restarts the device and the adapter is selected again once it answers.
#include <string>

#include "device_search.h"
#include "kelvalib.h"
#include "kv/platform/device_installer.h"
#include "kv/platform/system.h"
#include "outside_tools.h"
#include "state.h"

using namespace kv;

namespace {

namespace setup = platform::setup;

// Completion polls of each enable/disable command after the immediate try.
constexpr int kToolRetries = 20;
// Reselection attempts, 500 ms apart, before the reload gives the adapter up (one minute).
constexpr int kReselectAttempts = 120;
constexpr uint32_t kReselectPauseMs = 500;

int reloadWithTool(const std::u16string& guid) {
    if (!lib::runTool(lib::kNicControlTool, u" /dnicdrv /nicid " + guid, kToolRetries, u"Open")) return 0;
    // The last "completed.txt" stays on disk.
    if (!lib::runTool(lib::kNicControlTool, u" /enicdrv /nicid " + guid, kToolRetries, u"Open")) return 0;
    return 1;
}

void changeDeviceState(lib::AdapterDevice& device, uint32_t stateChange) {
    if (device.devices->setPropertyChangeParams(device.index, stateChange, setup::kDicsFlagGlobal, 0))
        device.devices->callClassInstaller(setup::kDifPropertyChange, device.index);
}

int reloadWithSetup(const std::u16string& guid) {
    if (auto device = lib::findAdapterDevice(guid, lib::SearchMessages::None)) {
        device->driverKey.reset();
        changeDeviceState(*device, setup::kDicsPropChange);
        changeDeviceState(*device, setup::kDicsEnable);
    }
    // The adapter is away while it restarts; every failed selection shows its own message.
    for (int attempt = 0; attempt < kReselectAttempts; ++attempt) {
        platform::clock().sleep(kReselectPauseMs);
        if (API_SetCurrAdaptIdx(lib::state().currentIndex)) return 1;
    }
    return 0;
}

}  // namespace

KV_API int API_ReloadMiniport(void) {
    const std::u16string guid = lib::currentAdapterGuid();
    return platform::runsUnderWow64() ? reloadWithTool(guid) : reloadWithSetup(guid);
}
