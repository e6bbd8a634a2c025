#include "binding_reply.h"

#include <array>

#include "channel.h"
#include "kelvalib.h"
#include "kv/bytes.h"
#include "kv/platform/system.h"
#include "kv/protocol.h"
#include "notify.h"
#include "state.h"

namespace kv::lib {

std::u16string replyString(const uint8_t* reply, uint32_t replyBytes, uint32_t offset) {
    std::u16string text;
    for (uint64_t pos = offset; pos + 2 <= replyBytes; pos += 2) {
        const char16_t c = static_cast<char16_t>(reply[pos] | (reply[pos + 1] << 8));
        if (c == 0) break;
        text.push_back(c);
    }
    return text;
}

std::optional<Binding> queryBinding(uint32_t index) {
    std::array<uint8_t, protocol::kBindingReplyBytes> buffer{};
    writeU32(buffer, offsetof(BindingQuery, BindingIndex), index);
    if (!sendControl(protocol::IOCTL_PROT_QUERY_BINDING, buffer.data(), protocol::kBindingQueryBytes, buffer.data(),
                     protocol::kBindingReplyBytes))
        return std::nullopt;
    Binding b;
    b.deviceName = replyString(buffer.data(), protocol::kBindingReplyBytes,
                               readU32(buffer, offsetof(BindingQuery, DeviceNameOffset)));
    b.description = replyString(buffer.data(), protocol::kBindingReplyBytes,
                                readU32(buffer, offsetof(BindingQuery, DeviceDescrOffset)));
    return b;
}

int walkBindings(const std::function<void(uint32_t index, const Binding& binding)>& visit) {
    uint32_t count = 0;
    while (count < DeviceNameTable::kSlots) {
        const auto binding = queryBinding(count);
        if (!binding) {
            const uint32_t error = platform::system().lastError();
            if (error == platform::err::kNoMoreItems) break;
            writeStdout("EnumerateDevices: terminated abnormally, error " + std::to_string(error) + "\n");
            return -1;
        }
        state().deviceNames.store(count, binding->deviceName);
        visit(count, *binding);
        ++count;
    }
    return static_cast<int>(count);
}

}  // namespace kv::lib
