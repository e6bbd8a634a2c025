#include "kv/sim/machine_json.h"

#include <stdexcept>
#include <string>

#include "kv/text.h"

namespace kv::sim {

std::array<uint8_t, 6> parseMac(std::string_view text) {
    std::array<uint8_t, 6> mac{};
    size_t pos = 0;
    for (int i = 0; i < 6; ++i) {
        if (i > 0) {
            if (pos >= text.size() || (text[pos] != '-' && text[pos] != ':'))
                throw std::runtime_error("malformed MAC address \"" + std::string(text) + "\"");
            ++pos;
        }
        unsigned v = 0;
        for (int k = 0; k < 2; ++k, ++pos) {
            if (pos >= text.size()) throw std::runtime_error("malformed MAC address \"" + std::string(text) + "\"");
            const char c = text[pos];
            const int d = hexDigitValue(c);
            if (d < 0) throw std::runtime_error("malformed MAC address \"" + std::string(text) + "\"");
            v = v * 16 + static_cast<unsigned>(d);
        }
        mac[i] = static_cast<uint8_t>(v);
    }
    if (pos != text.size()) throw std::runtime_error("malformed MAC address \"" + std::string(text) + "\"");
    return mac;
}

namespace {

Duplex parseDuplex(const Json& j) {
    if (j.isNull()) return Duplex::Full;
    if (j.isNumber()) return static_cast<Duplex>(j.asUInt() <= 2 ? j.asUInt() : 0);
    const std::string s = j.asString();
    if (s == "full") return Duplex::Full;
    if (s == "half") return Duplex::Half;
    if (s == "unknown") return Duplex::Unknown;
    throw std::runtime_error("link.duplex must be \"full\", \"half\" or \"unknown\"");
}

}  // namespace

void readAdapter(const Json& j, Adapter& a) {
    const std::string guid = j["guid"].asString();
    if (guid.size() < 3 || guid.front() != '{' || guid.back() != '}')
        throw std::runtime_error("guid must be written in braces, as \"{...}\"");
    // The GUID names registry keys of its own; a backslash would split it into several.
    if (guid.find('\\') != std::string::npos) throw std::runtime_error("guid must not contain a backslash");
    a.guid = utf8ToUtf16(guid);
    a.description = utf8ToUtf16(j["description"].asString());
    a.mac = parseMac(j["mac"].asString("00-00-00-00-00-00"));
    a.bound = j["bound"].asBool(true);
    a.present = j["present"].asBool(true);

    const Json& pci = j["pci"];
    a.pci.vendorId = static_cast<uint16_t>(pci["vendor"].asUIntOrHex(a.pci.vendorId));
    a.pci.deviceId = static_cast<uint16_t>(pci["device"].asUIntOrHex(a.pci.deviceId));
    a.pci.subVendorId = static_cast<uint16_t>(pci["subVendor"].asUIntOrHex(a.pci.subVendorId));
    a.pci.subSystemId = static_cast<uint16_t>(pci["subSystem"].asUIntOrHex(a.pci.subSystemId));
    a.pci.revisionId = static_cast<uint8_t>(pci["revision"].asUIntOrHex(a.pci.revisionId));
    a.pci.bus = static_cast<uint32_t>(pci["bus"].asUIntOrHex(a.pci.bus));
    a.pci.slot = static_cast<uint32_t>(pci["slot"].asUIntOrHex(a.pci.slot));
    a.pci.ioAddress = static_cast<uint32_t>(pci["io"].asUIntOrHex(a.pci.ioAddress));
    a.pci.memoryAddress = static_cast<uint32_t>(pci["memory"].asUIntOrHex(a.pci.memoryAddress));
    a.pci.interruptLine = static_cast<uint32_t>(pci["irq"].asUIntOrHex(a.pci.interruptLine));

    const Json& link = j["link"];
    a.link.up = link["up"].asBool(true);
    a.link.speedMbps = static_cast<uint32_t>(link["speed"].asUInt(1000));
    a.link.duplex = parseDuplex(link["duplex"]);

    const Json& ip = j["ip"];
    a.ip.address = ip["address"].asString(a.ip.address);
    a.ip.mask = ip["mask"].asString(a.ip.mask);
    a.ip.gateway = ip["gateway"].asString(a.ip.gateway);
    a.ip.dhcp = ip["dhcp"].asBool(a.ip.dhcp);

    const Json& f = j["faults"];
    a.faults.openDeviceError = static_cast<uint32_t>(f["openDeviceError"].asUInt(0));
    a.faults.busy = f["busy"].asBool(false);
    a.faults.privateCommands = !f["noPrivateCommands"].asBool(false);
    a.faults.bindingNameUnterminated = f["bindingNameUnterminated"].asBool(false);
    a.faults.bindingNameOffset = static_cast<uint32_t>(f["bindingNameOffset"].asUInt(0));
    for (const Json& oid : f["failingOids"].elements())
        a.faults.failingOids.push_back(static_cast<uint32_t>(oid.asUIntOrHex(0)));
}

}  // namespace kv::sim
