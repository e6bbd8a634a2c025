// One restart pass: every present, visible network device of a chip group gets the same property
// change through the device installer.
#pragma once

namespace kv::cyclenic {

enum class RestartStep { Disable, Enable };

// False when the device list could not be made or a device's property change failed; the pass
// ends at that device.
bool runRestartPass(int group, RestartStep step);

}  // namespace kv::cyclenic
