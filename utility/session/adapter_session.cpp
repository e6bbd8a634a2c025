#include "session/adapter_session.h"

#include <cstring>

#include "kv/bytes.h"

namespace kv::diag {

AdapterSession::AdapterSession() = default;

AdapterSession::~AdapterSession() {
    if (open_) API_Close();
}

std::optional<AdapterList_A> AdapterSession::reopen() {
    if (!admit("reopen")) return std::nullopt;
    close();
    if (API_Open() != 1) return std::nullopt;
    open_ = true;
    AdapterList_A list{};
    if (API_GetAdapterList_A(&list) != 1) {
        close();
        return std::nullopt;
    }
    return list;
}

void AdapterSession::close() {
    if (!open_ || !admit("close")) return;
    API_Close();
    open_ = false;
}

bool AdapterSession::channelOpen() { return admit("channel") && API_IsPlug() != 0; }

bool AdapterSession::select(int index) { return admit("select") && API_SetCurrAdaptIdx(index) == 1; }

std::optional<AdapterInfo> AdapterSession::adapterInfo() {
    AdapterInfo info{};
    if (!admit("adapter information") || API_GetAdapterInfo(&info) != 1) return std::nullopt;
    return info;
}

std::optional<DriverInfo_A> AdapterSession::driverInfo() {
    DriverInfo_A info{};
    if (!admit("driver information") || API_GetDriverInfo_A(&info) != 1) return std::nullopt;
    return info;
}

std::optional<uint8_t> AdapterSession::registerByte(uint16_t offset) {
    uint8_t value = 0;
    if (!admit("register") || ReadPortUchar(offset, &value) != 1) return std::nullopt;
    return value;
}

jobs::AddressFacts AdapterSession::addresses(uint32_t chipClass) {
    if (!admit("addresses")) return {};
    return jobs::readAddresses(chipClass);
}

jobs::LinkFacts AdapterSession::link() {
    if (!admit("link")) return {};
    return jobs::readLink();
}

std::optional<IpSettings> AdapterSession::ipSettings() {
    IpSettings s;
    if (!admit("IP settings") ||
        API_GetNicTcpipAddr(&s.mode, s.address.data(), s.mask.data(), s.gateway.data(), s.dns.data()) != 1)
        return std::nullopt;
    return s;
}

std::optional<jobs::OidValue> AdapterSession::counter(uint32_t oid) {
    if (!admit("counter")) return std::nullopt;
    return jobs::queryCounter(oid);
}

}  // namespace kv::diag
