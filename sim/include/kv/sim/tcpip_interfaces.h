// The TCP/IP settings of each adapter in the registry
// ("HKLM\SYSTEM\CurrentControlSet\Services\Tcpip\Parameters\Interfaces\{GUID}"): EnableDHCP
// (REG_DWORD), IPAddress, SubnetMask and DefaultGateway (REG_MULTI_SZ), NameServer (REG_SZ), and
// the addresses a DHCP server gave (DhcpIPAddress, DhcpSubnetMask, DhcpDefaultGateway, REG_SZ).
// The adapter table of the IP helper follows these values when the adapter (re)starts.
#pragma once

#include <string>
#include <vector>

#include "kv/ipv4.h"

namespace kv::sim {

class Adapter;
class Machine;

extern const char16_t kTcpipInterfacesKeyPath[];

// Gives the adapter an interface key from its machine.json "ip" object ("dns" names the DNS
// server) when the registry has none.
void addMissingTcpipKey(Machine& machine, const Adapter& adapter);
// Every adapter's key, then every adapter's settings from its key, as at the machine's start.
void addTcpipKeys(Machine& machine);
// Takes the adapter's IPv4 settings from its interface key, as a restart of the adapter does:
// the static values, or the DHCP ones when EnableDHCP is 1. Nothing when the key is missing.
void applyTcpipKey(Machine& machine, Adapter& adapter);

// The present adapters that have an IPv4 address now, in the machine's order.
struct AdapterAddress {
    Adapter* adapter = nullptr;
    Ipv4 address{};
    Ipv4 mask{};
    bool holds(const Ipv4& other) const { return sameSubnet(address, mask, other); }
};
std::vector<AdapterAddress> adapterAddresses(Machine& machine);

}  // namespace kv::sim
