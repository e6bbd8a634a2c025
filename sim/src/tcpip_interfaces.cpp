#include "kv/sim/tcpip_interfaces.h"

#include <vector>

#include "kv/sim/machine.h"
#include "kv/text.h"

namespace kv::sim {

const char16_t kTcpipInterfacesKeyPath[] =
    u"HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters\\Interfaces";

namespace {

constexpr char kNoAddress[] = "0.0.0.0";

std::u16string keyPath(const Adapter& adapter) {
    return std::u16string(kTcpipInterfacesKeyPath) + u"\\" + adapter.guid;
}

// An address as its one-string list ("0.0.0.0" for none).
std::vector<std::u16string> addressList(const std::string& address) {
    return {utf8ToUtf16(address.empty() ? kNoAddress : address)};
}

// A gateway list: empty when there is none.
std::vector<std::u16string> gatewayList(const std::string& gateway) {
    if (gateway.empty() || gateway == kNoAddress) return {};
    return {utf8ToUtf16(gateway)};
}

// The first string of a multi-string or string value; "0.0.0.0" when there is none or it is no
// dotted address (the system's adapter table lists no such address).
std::string firstString(const RegistryKey& key, std::u16string_view name) {
    const RegValue* value = key.findValue(name);
    if (!value) return kNoAddress;
    std::u16string text;
    if (value->type == kRegMultiSz) {
        const auto strings = value->asMultiString();
        if (!strings.empty()) text = strings.front();
    } else {
        text = value->asString();
    }
    return parseIpv4(std::u16string_view(text)) ? utf16ToUtf8(text) : kNoAddress;
}

}  // namespace

void addMissingTcpipKey(Machine& machine, const Adapter& adapter) {
    const std::u16string path = keyPath(adapter);
    if (machine.registry.find(path)) return;
    RegistryKey* key = machine.registry.create(path);
    const IpSettings& ip = adapter.ip;
    const Json& dns = machine.config["adapters"][static_cast<size_t>(adapter.index)]["ip"]["dns"];
    key->setValue(RegValue::dword(u"EnableDHCP", ip.dhcp ? 1 : 0));
    // With DHCP the static values are empty and the server's answer sits in the Dhcp values.
    key->setValue(RegValue::multiString(u"IPAddress", addressList(ip.dhcp ? kNoAddress : ip.address)));
    key->setValue(RegValue::multiString(u"SubnetMask", addressList(ip.dhcp ? kNoAddress : ip.mask)));
    key->setValue(RegValue::multiString(u"DefaultGateway", gatewayList(ip.dhcp ? kNoAddress : ip.gateway)));
    key->setValue(RegValue::string(u"NameServer", utf8ToUtf16(dns.asString())));
    if (!ip.dhcp) return;
    key->setValue(RegValue::string(u"DhcpIPAddress", utf8ToUtf16(ip.address)));
    key->setValue(RegValue::string(u"DhcpSubnetMask", utf8ToUtf16(ip.mask)));
    key->setValue(RegValue::string(u"DhcpDefaultGateway", utf8ToUtf16(ip.gateway)));
}

void addTcpipKeys(Machine& machine) {
    for (auto& adapter : machine.adapters) {
        addMissingTcpipKey(machine, *adapter);
        applyTcpipKey(machine, *adapter);
    }
}

std::vector<AdapterAddress> adapterAddresses(Machine& machine) {
    std::vector<AdapterAddress> out;
    for (const auto& a : machine.adapters) {
        if (!a->present) continue;
        const auto address = parseIpv4(a->ip.address);
        if (!address || *address == Ipv4{}) continue;
        out.push_back({a.get(), *address, parseIpv4(a->ip.mask).value_or(Ipv4{})});
    }
    return out;
}

void applyTcpipKey(Machine& machine, Adapter& adapter) {
    const RegistryKey* key = machine.registry.find(keyPath(adapter));
    if (!key) return;
    const RegValue* dhcp = key->findValue(u"EnableDHCP");
    adapter.ip.dhcp = dhcp && dhcp->asDword() != 0;
    const std::u16string prefix = adapter.ip.dhcp ? u"Dhcp" : u"";
    adapter.ip.address = firstString(*key, prefix + u"IPAddress");
    adapter.ip.mask = firstString(*key, prefix + u"SubnetMask");
    adapter.ip.gateway = firstString(*key, prefix + u"DefaultGateway");
}

}  // namespace kv::sim
