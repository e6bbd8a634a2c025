// The system's "ping", as far as finding a station goes: "ping [-n count] [-w ms] <target>".
// An IPv4 target is resolved with an ARP request on the wire of the adapter whose subnet holds
// it (else of the first adapter with a gateway, asking for the gateway); any other target is a
// computer name, asked for with a NetBIOS name query broadcast on every adapter with link and an
// address (a name with blanks is taken as typed), and an awake station of that name is then
// resolved by its address. A sleeping station whose wake-up patterns match wakes (the wire's
// business); an awake station answers, and ping ends with 0 at once. Without an answer it ends
// with 1 after its time-out for every count. Traced as "tool ping <what>".
#include <cstdlib>
#include <optional>

#include "kv/ipv4.h"
#include "kv/sim/host.h"
#include "kv/sim/ip_frames.h"
#include "kv/sim/programs.h"
#include "kv/sim/tcpip_interfaces.h"
#include "kv/text.h"

namespace kv::sim {

namespace {

constexpr uint32_t kDefaultTimeoutMs = 4000;
constexpr uint32_t kPauseBetweenEchoesMs = 1000;

struct PingOptions {
    uint32_t count = 4;
    uint32_t timeoutMs = kDefaultTimeoutMs;
    std::string target;
};

PingOptions parseOptions(const std::vector<std::string>& args) {
    PingOptions o;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string a = lowerAscii(args[i]);
        if ((a == "-n" || a == "-w") && i + 1 < args.size()) {
            const auto value = static_cast<uint32_t>(std::strtoul(args[++i].c_str(), nullptr, 10));
            (a == "-n" ? o.count : o.timeoutMs) = value;
        } else if (!a.empty() && a[0] == '-') {
            continue;
        } else {
            o.target += (o.target.empty() ? "" : " ") + args[i];
        }
    }
    if (o.count == 0) o.count = 1;
    return o;
}

bool linkUp(const AdapterAddress& a) { return a.adapter->link.up; }

PeerStation* awakePeer(Machine& machine, const Ipv4& ip) {
    for (auto& peer : machine.wire.peers())
        if (!peer.asleep && peer.ip == ip) return &peer;
    return nullptr;
}

// ARP for the address (or the gateway that leads to it); whether a station answered.
bool resolve(Host& host, const Ipv4& target) {
    Machine& machine = host.machine();
    const auto addresses = adapterAddresses(machine);
    std::optional<AdapterAddress> from;
    Ipv4 asked = target;
    for (const auto& a : addresses)
        if (!from && linkUp(a) && a.holds(target)) from = a;
    for (const auto& a : addresses) {
        const auto gateway = parseIpv4(a.adapter->ip.gateway);
        if (from || !linkUp(a) || !gateway || *gateway == Ipv4{}) continue;
        from = a;
        asked = *gateway;
    }
    if (!from) {
        host.trace().add("tool ping " + ipv4Text(target) + " unreachable");
        return false;
    }
    host.trace().add("tool ping arp " + ipv4Text(asked) + " adapter " + std::to_string(from->adapter->index));
    // A station asleep now does not answer the frame that wakes it.
    PeerStation* answering = awakePeer(machine, asked);
    machine.wire.transmit(machine, from->adapter, arpRequest(from->adapter->mac, from->address, asked));
    if (!answering) return false;
    machine.wire.transmit(machine, nullptr, arpReply(answering->mac, answering->ip, from->adapter->mac, from->address));
    return asked == target;
}

bool queryName(Host& host, const std::string& name) {
    Machine& machine = host.machine();
    std::optional<Ipv4> answer;
    for (auto& peer : machine.wire.peers())
        if (!peer.asleep && peer.ip != Ipv4{} && equalsIgnoreCase(utf8ToUtf16(peer.name), utf8ToUtf16(name)))
            answer = peer.ip;
    static uint16_t transaction = 0x8001;
    for (const auto& a : adapterAddresses(machine)) {
        if (!linkUp(a)) continue;
        Ipv4 broadcast = a.address;
        for (size_t i = 0; i < 4; ++i) broadcast[i] = static_cast<uint8_t>(a.address[i] | ~a.mask[i]);
        host.trace().add(Trace::escape("tool ping query " + name + " adapter " + std::to_string(a.adapter->index)));
        machine.wire.transmit(machine, a.adapter,
                              netbiosNameQuery(a.adapter->mac, a.address, broadcast, name, transaction++));
    }
    return answer && resolve(host, *answer);
}

}  // namespace

ProgramExit runPing(ProgramRun& run) {
    const PingOptions options = parseOptions(run.args);
    if (options.target.empty()) {
        run.host.trace().add("tool ping no target");
        return {1, 0};
    }
    const auto address = parseIpv4(options.target);
    const bool answered = address ? resolve(run.host, *address) : queryName(run.host, options.target);
    if (answered) return {0, (options.count - 1) * kPauseBetweenEchoesMs + 1};
    return {1, options.count * options.timeoutMs};
}

}  // namespace kv::sim
