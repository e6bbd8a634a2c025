#include "read_only_exports.h"

#include <array>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <span>
#include <vector>

#include "kelvalib.h"
#include "kv/platform/registry.h"
#include "kv/protocol.h"
#include "kv/sim/testing/machine_builder.h"
#include "kv/sim/trace.h"
#include "kv/text.h"

namespace kv::capture::test {

namespace {

namespace p = protocol;

std::string hex(std::span<const uint8_t> bytes) { return sim::Trace::hex(bytes); }

// An export that fills N bytes: its result and the bytes.
template <size_t N, typename Export>
std::function<std::string()> bytesOf(Export fill) {
    return [fill] {
        std::array<uint8_t, N> bytes{};
        const int result = fill(bytes.data());
        return std::to_string(result) + " " + hex(bytes);
    };
}

// An export that writes one number: its result and the number.
template <typename T, typename Export>
std::function<std::string()> numberOf(Export read) {
    return [read] {
        T value{};
        const int result = read(&value);
        return std::to_string(result) + " " + std::to_string(value);
    };
}

std::string oidAnswer(uint32_t oid, uint32_t length) {
    std::vector<uint8_t> out(length, 0);
    uint32_t returned = 0;
    const int result = API_GetOID(oid, out.data(), length, &returned);
    return std::to_string(result) + " " + hex(out);
}

template <typename Text>
std::string text(const Text* chars, size_t n) {
    std::u16string out;
    for (size_t i = 0; i < n && chars[i]; ++i)
        out += static_cast<char16_t>(static_cast<std::make_unsigned_t<Text>>(chars[i]));
    return utf16ToUtf8(out);
}

std::string driverInfoW() {
    auto info = std::make_unique<DriverInfo_W>();
    *info = {};
    const int result = API_GetDriverInfo_W(info.get());
    return std::to_string(result) + " " + text(info->DriverDesc, KV_TEXT_CHARS) + "|" +
           text(info->DriverVersion, KV_TEXT_CHARS) + "|" + text(info->ProviderName, KV_TEXT_CHARS) + "|" +
           text(info->DriverDate, KV_TEXT_CHARS) + "|" + text(info->InfPath, KV_TEXT_CHARS) + "|" +
           text(info->BinaryName, KV_TEXT_CHARS);
}

std::string driverInfoA() {
    auto info = std::make_unique<DriverInfo_A>();
    *info = {};
    const int result = API_GetDriverInfo_A(info.get());
    std::string out = std::to_string(result) + " " + std::to_string(info->BinaryCount);
    for (uint32_t i = 0; i < info->BinaryCount && i < KV_BINARY_SLOTS; ++i)
        out += "|" + std::string(info->BinaryName[i]);
    return out;
}

// The advanced settings the driver page lists: the subkey names under "Ndi\params".
std::string advancedSettings() {
    const KV_WCHAR params[] = {'N', 'd', 'i', '\\', 'p', 'a', 'r', 'a', 'm', 's', 0};
    KV_HKEY handle{};
    if (!API_GetRegHKey_W(&handle, params, 0)) return "0";
    const platform::RegKey key(static_cast<platform::RegKeyHandle>(handle));
    std::string out = "1";
    std::u16string name;
    for (uint32_t i = 0; platform::registry().enumKey(key.get(), i, &name) == 0; ++i) out += " " + utf16ToUtf8(name);
    return out;
}

std::string phyPages() {
    std::string out;
    for (uint16_t page = 0; page < 4; ++page) {
        for (uint16_t reg = 0; reg < 31; ++reg) {
            uint16_t value = 0;
            const int result = API_ReadPHY(page, reg, &value);
            char text[16];
            std::snprintf(text, sizeof text, "%d:%04x ", result, value);
            out += text;
        }
    }
    return out;
}

// The adapter's TCP/IP settings: the mode and the four addresses.
std::string tcpipSettings() {
    int mode = -1;
    std::array<uint8_t, 16> addresses{};
    const int result = API_GetNicTcpipAddr(&mode, &addresses[0], &addresses[4], &addresses[8], &addresses[12]);
    return std::to_string(result) + " " + std::to_string(mode) + " " + hex(addresses);
}

struct Export {
    const char* name;
    std::function<std::string()> ask;
};

const std::vector<Export>& perAdapterExports() {
    static const std::vector<Export> exports = {
        {"API_GetStatistics", bytesOf<152>(API_GetStatistics)},
        {"API_GetOID XMIT_OK", [] { return oidAnswer(p::OID_GEN_XMIT_OK, 8); }},
        {"API_GetOID RCV_OK", [] { return oidAnswer(p::OID_GEN_RCV_OK, 8); }},
        {"API_GetOID XMIT_ERROR", [] { return oidAnswer(p::OID_GEN_XMIT_ERROR, 8); }},
        {"API_GetOID RCV_ERROR", [] { return oidAnswer(p::OID_GEN_RCV_ERROR, 8); }},
        {"API_GetOID RCV_NO_BUFFER", [] { return oidAnswer(p::OID_GEN_RCV_NO_BUFFER, 8); }},
        {"API_GetOID BYTES_XMIT", [] { return oidAnswer(p::OID_TVX_BYTES_XMIT, 8); }},
        {"API_GetOID BYTES_RCV", [] { return oidAnswer(p::OID_TVX_BYTES_RCV, 8); }},
        {"API_GetTXRetryCount", numberOf<int>(API_GetTXRetryCount)},
        {"GetPciConfigSpace", bytesOf<1024>(GetPciConfigSpace)},
        {"GetMacReg", bytesOf<1024>([](uint8_t* out) { return GetMacReg(0, 1024, out); })},
        {"ReadPortUchar 0x43", numberOf<uint8_t>([](uint8_t* v) { return ReadPortUchar(0x43, v); })},
        {"IsLink", numberOf<int>(IsLink)},
        {"API_IsLink", [] { return std::to_string(API_IsLink()); }},
        {"API_GetSrcMac", bytesOf<6>(API_GetSrcMac)},
        {"API_GetLinkSpeed", numberOf<uint32_t>(API_GetLinkSpeed)},
        {"API_GetDuplexMode", numberOf<int>(API_GetDuplexMode)},
        {"API_TVGetAdapterInfo", bytesOf<40>(API_TVGetAdapterInfo)},
        {"API_GetAdapterInfo", bytesOf<sizeof(AdapterInfo)>([](uint8_t* out) {
             AdapterInfo info{};
             const int result = API_GetAdapterInfo(&info);
             std::memcpy(out, &info, sizeof info);
             return result;
         })},
        {"API_GetIPAddress", bytesOf<4>(API_GetIPAddress)},
        {"API_IsCurrAdapterAlive", [] { return std::to_string(API_IsCurrAdapterAlive()); }},
        {"API_GetDriverInfo_W", driverInfoW},
        {"API_GetDriverInfo_A", driverInfoA},
        {"API_GetRegHKey_W Ndi\\params", advancedSettings},
        {"API_GetConnName_W",
         [] {
             std::array<KV_WCHAR, 260> name{};
             const int result = API_GetConnName_W(name.data(), 260);
             return std::to_string(result) + " " + text(name.data(), name.size());
         }},
        {"API_GetConnName_A",
         [] {
             std::array<char, 260> name{};
             const int result = API_GetConnName_A(name.data(), 260);
             return std::to_string(result) + " " + text(name.data(), name.size());
         }},
        {"API_GetOID SUPPORTED_LIST", [] { return oidAnswer(p::OID_GEN_SUPPORTED_LIST, 1024); }},
        {"API_GetHWStatus", numberOf<int>(API_GetHWStatus)},
        {"API_GetDriverDescription", bytesOf<50>(API_GetDriverDescription)},
        {"WakeupPtnRwTestLen", [] { return std::to_string(WakeupPtnRwTestLen()); }},
        {"API_ReadPHY", phyPages},
        {"ReadPhyUshort 31", [] { return std::to_string(ReadPhyUshort(31)); }},
        {"API_IsMDIX", [] { return std::to_string(API_IsMDIX()); }},
        {"API_ChkEEPROMExit", [] { return std::to_string(API_ChkEEPROMExit()); }},
        {"API_GetVID", numberOf<uint32_t>(API_GetVID)},
        {"API_GetNicTcpipAddr", tcpipSettings},
    };
    return exports;
}

}  // namespace

Answers askReadOnlyExports() {
    Answers answers;
    auto ask = [&](const std::string& key, const std::function<std::string()>& fn) {
        const size_t boxes = sim::testing::traced("msgbox").size();
        const std::string answer = fn();
        answers[key] = answer + " boxes " + std::to_string(sim::testing::traced("msgbox").size() - boxes);
    };
    ask("API_Open", [] { return std::to_string(API_Open()); });
    auto list = std::make_unique<AdapterList_W>();
    *list = {};
    ask("API_GetAdapterList_W", [&] {
        const int result = API_GetAdapterList_W(list.get());
        std::string out = std::to_string(result) + " " + std::to_string(list->Count);
        for (uint32_t i = 0; i < list->Count && i < KV_MAX_ADAPTERS; ++i)
            out += "|" + text(list->Description[i], KV_DESCRIPTION_CHARS) + " parent " +
                   std::to_string(list->ParentIndex[i]);
        return out;
    });
    for (uint32_t i = 0; i < list->Count && i < KV_MAX_ADAPTERS; ++i) {
        const std::string prefix = "adapter " + std::to_string(i) + " ";
        ask(prefix + "API_SetCurrAdaptIdx", [i] { return std::to_string(API_SetCurrAdaptIdx(static_cast<int>(i))); });
        for (const auto& e : perAdapterExports()) ask(prefix + e.name, e.ask);
    }
    API_Close();
    return answers;
}

}  // namespace kv::capture::test
