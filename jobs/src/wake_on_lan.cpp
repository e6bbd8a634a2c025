#include "kv/jobs/wake_on_lan.h"

#include <string>

#include "kelvalib.h"
#include "kv/platform/processes.h"

namespace kv::jobs {

bool sendMagicPacket(const EthernetAddress& target) { return API_SendMagicPacket(target.data()) == 1; }

bool startPing(std::u16string_view target) {
    const std::u16string parameters = u"-n 1 " + std::u16string(target);
    platform::StartRequest request;
    request.file = u"ping";
    request.parameters = parameters;
    request.hidden = true;
    request.wait = false;
    return platform::processes().start(request);
}

}  // namespace kv::jobs
