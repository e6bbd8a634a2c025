#include "session/adapter_session.h"

#include <cstring>

#include "kv/bytes.h"

namespace kv::diag {

namespace {

// The driver's duplex state for a full-duplex link.
constexpr int kFullDuplexState = 2;

}  // namespace

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

bool AdapterSession::select(int index) {
    if (!admit("select")) return false;
    if (API_SetCurrAdaptIdx(index) != 1) return false;
    current_ = index;
    return true;
}

AdapterSession::AdapterBracket::~AdapterBracket() {
    if (!refused_) session_.select(previous_);
}

bool AdapterSession::AdapterBracket::select(int index) {
    if (session_.select(index)) return true;
    refused_ = true;
    return false;
}

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

std::optional<std::string> AdapterSession::connectionName() {
    std::array<char, KV_TEXT_CHARS> name{};
    if (!admit("connection name") || API_GetConnName_A(name.data(), static_cast<int>(name.size())) != 1)
        return std::nullopt;
    return std::string(name.data(), strnlen(name.data(), name.size()));
}

std::optional<uint16_t> AdapterSession::vlanId() {
    uint32_t id = 0;
    if (!admit("VLAN ID") || API_GetVID(&id) != 1) return std::nullopt;
    return static_cast<uint16_t>(id & 0xFFFFu);
}

LinkState AdapterSession::link() {
    LinkState state;
    if (!admit("link") || API_IsLink() == 0) return state;
    state.up = true;
    if (uint32_t mbps = 0; API_GetLinkSpeed(&mbps) == 1) state.mbps = mbps;
    if (int duplex = 0; API_GetDuplexMode(&duplex) == 1) state.fullDuplex = duplex == kFullDuplexState;
    return state;
}

std::optional<Ipv4Bytes> AdapterSession::ipAddress() {
    Ipv4Bytes address{};
    if (!admit("IP address") || API_GetIPAddress(address.data()) != 1) return std::nullopt;
    return address;
}

std::optional<IpSettings> AdapterSession::ipSettings() {
    IpSettings s;
    if (!admit("IP settings") ||
        API_GetNicTcpipAddr(&s.mode, s.address.data(), s.mask.data(), s.gateway.data(), s.dns.data()) != 1)
        return std::nullopt;
    return s;
}

std::optional<CounterValue> AdapterSession::counter(uint32_t oid) {
    std::array<uint8_t, 8> buffer{};
    uint32_t length = 0;
    if (!admit("counter") || API_GetOID(oid, buffer.data(), static_cast<uint32_t>(buffer.size()), &length) != 1)
        return std::nullopt;
    if (length == buffer.size()) return CounterValue{readU64(buffer, 0), true};
    return CounterValue{readU32(buffer, 0), false};
}

}  // namespace kv::diag
