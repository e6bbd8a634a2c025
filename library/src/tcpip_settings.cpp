// The current adapter's TCP/IP interface settings in the registry
// ("SYSTEM\CurrentControlSet\Services\Tcpip\Parameters\Interfaces\{GUID}"): the address mode
// (EnableDHCP), the address, mask and default gateway (multi-strings, the first one counts) and
// the DNS server (NameServer, a list separated by commas or blanks; the first one counts). The
// system applies new settings when the adapter restarts (API_ReloadMiniport).
#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "kelvalib.h"
#include "kv/ipv4.h"
#include "kv/platform/registry.h"
#include "state.h"
#include "text_field.h"

using namespace kv;

namespace {

constexpr char16_t kInterfacesKey[] = u"SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters\\Interfaces\\";
constexpr uint32_t kValueBytes = 2048;

enum AddressMode : int { kStatic = 0, kDhcp = 1 };

platform::RegKey openInterfaceKey(uint32_t access) {
    platform::RegKey key;
    const std::u16string guid = lib::currentAdapterGuid();
    if (guid.empty() ||
        platform::registry().openKey(platform::hiveKey(platform::Hive::LocalMachine), kInterfacesKey + guid, access,
                                     key.receive()) != platform::err::kSuccess)
        key.reset();
    return key;
}

// The first address of a string or multi-string value; 0.0.0.0 when it is missing or no address.
Ipv4 firstAddress(platform::RegKeyHandle key, std::u16string_view name) {
    std::vector<uint8_t> data(kValueBytes, 0);
    uint32_t type = 0;
    uint32_t bytes = kValueBytes;
    if (platform::registry().queryValue(key, name, &type, data.data(), &bytes) != platform::err::kSuccess) return {};
    std::u16string text;
    for (uint32_t i = 0; i + 1 < std::min<size_t>(bytes, data.size()); i += 2) {
        const auto c = static_cast<char16_t>(data[i] | (data[i + 1] << 8));
        if (c == 0 || c == u',' || c == u' ') break;
        text.push_back(c);
    }
    return parseIpv4(std::u16string_view(text)).value_or(Ipv4{});
}

uint32_t readDword(platform::RegKeyHandle key, std::u16string_view name) {
    uint32_t value = 0;
    uint32_t type = 0;
    uint32_t bytes = sizeof value;
    if (platform::registry().queryValue(key, name, &type, &value, &bytes) != platform::err::kSuccess ||
        type != platform::regtype::kDword)
        return 0;
    return value;
}

// A dotted address of the caller: "" (or none) is no address; anything else must be one.
std::optional<std::u16string> addressArgument(const std::u16string& text) {
    if (text.empty()) return std::u16string();
    if (!parseIpv4(std::u16string_view(text))) return std::nullopt;
    return text;
}

// UTF-16LE bytes of a string (type REG_SZ) or of a one-string list (REG_MULTI_SZ, empty for "").
std::vector<char16_t> valueText(const std::u16string& text, bool multi) {
    std::vector<char16_t> out(text.begin(), text.end());
    if (!multi || !text.empty()) out.push_back(0);
    if (multi) out.push_back(0);
    return out;
}

bool writeValue(platform::RegKeyHandle key, std::u16string_view name, const std::u16string& text, bool multi) {
    const auto data = valueText(text, multi);
    return platform::registry().setValue(key, name, multi ? platform::regtype::kMultiSz : platform::regtype::kSz,
                                         data.data(), static_cast<uint32_t>(data.size() * sizeof(char16_t))) ==
           platform::err::kSuccess;
}

int setTcpipSettings(int mode, const std::u16string& address, const std::u16string& mask, const std::u16string& gateway,
                     const std::u16string& dns) {
    if (mode != kStatic && mode != kDhcp) return 0;
    const auto a = addressArgument(address);
    const auto m = addressArgument(mask);
    const auto g = addressArgument(gateway);
    const auto d = addressArgument(dns);
    // A malformed address changes nothing.
    if (!a || !m || !g || !d) return 0;
    platform::RegKey key = openInterfaceKey(platform::regaccess::kAllAccess);
    if (!key.valid()) return 0;
    const uint32_t dhcp = mode == kDhcp ? 1 : 0;
    const bool ok = platform::registry().setValue(key.get(), u"EnableDHCP", platform::regtype::kDword, &dhcp,
                                                  sizeof dhcp) == platform::err::kSuccess &&
                    writeValue(key.get(), u"IPAddress", a->empty() ? u"0.0.0.0" : *a, true) &&
                    writeValue(key.get(), u"SubnetMask", m->empty() ? u"0.0.0.0" : *m, true) &&
                    writeValue(key.get(), u"DefaultGateway", *g, true) &&
                    writeValue(key.get(), u"NameServer", *d, false);
    return ok ? 1 : 0;
}

template <typename Char>
int setFromCaller(int mode, const Char* address, const Char* mask, const Char* gateway, const Char* dns) {
    return setTcpipSettings(mode, lib::fromCaller(address), lib::fromCaller(mask), lib::fromCaller(gateway),
                            lib::fromCaller(dns));
}

}  // namespace

KV_API int API_GetNicTcpipAddr(int* mode, uint8_t* address4, uint8_t* mask4, uint8_t* gateway4, uint8_t* dns4) {
    if (!mode || !address4 || !mask4 || !gateway4 || !dns4) return 0;
    platform::RegKey key = openInterfaceKey(platform::regaccess::kRead);
    if (!key.valid()) return 0;
    const Ipv4 address = firstAddress(key.get(), u"IPAddress");
    const Ipv4 mask = firstAddress(key.get(), u"SubnetMask");
    const Ipv4 gateway = firstAddress(key.get(), u"DefaultGateway");
    const Ipv4 dns = firstAddress(key.get(), u"NameServer");
    *mode = readDword(key.get(), u"EnableDHCP") ? kDhcp : kStatic;
    std::copy(address.begin(), address.end(), address4);
    std::copy(mask.begin(), mask.end(), mask4);
    std::copy(gateway.begin(), gateway.end(), gateway4);
    std::copy(dns.begin(), dns.end(), dns4);
    return 1;
}

KV_API int API_SetNicTcpipAddr_W(int mode, const KV_WCHAR* address, const KV_WCHAR* mask, const KV_WCHAR* gateway,
                                 const KV_WCHAR* dns) {
    return setFromCaller(mode, address, mask, gateway, dns);
}

KV_API int API_SetNicTcpipAddr_A(int mode, const char* address, const char* mask, const char* gateway,
                                 const char* dns) {
    return setFromCaller(mode, address, mask, gateway, dns);
}

KV_API int API_SetNicTcpipAddr(int mode, const char* address, const char* mask, const char* gateway, const char* dns) {
    return setFromCaller(mode, address, mask, gateway, dns);
}
