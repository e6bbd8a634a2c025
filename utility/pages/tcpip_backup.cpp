#include "pages/tcpip_backup.h"

#include <cstdio>

#include "kelvalib.h"
#include "kv/platform/system.h"

namespace kv::diag {

namespace {
constexpr uint32_t kSettleAfterRestoreMs = 3000;
constexpr int kStaticAddress = 0;
}  // namespace

TcpipBackup readTcpipBackup(AdapterSession& session) { return session.ipSettings().value_or(TcpipBackup{}); }

std::string dottedText(const Ipv4Bytes& a) {
    char text[16];
    std::snprintf(text, sizeof text, "%d.%d.%d.%d", a[0], a[1], a[2], a[3]);
    return text;
}

std::string optionalDottedText(const Ipv4Bytes& a) { return a == Ipv4Bytes{} ? std::string() : dottedText(a); }

void setTestAddress(const char* address, const char* mask) {
    API_SetNicTcpipAddr(kStaticAddress, address, mask, "", "");
    API_ReloadMiniport();
}

void restoreTcpipBackup(const TcpipBackup& saved) {
    API_SetNicTcpipAddr(saved.mode, dottedText(saved.address).c_str(), dottedText(saved.mask).c_str(),
                        optionalDottedText(saved.gateway).c_str(), optionalDottedText(saved.dns).c_str());
    API_ReloadMiniport();
    platform::clock().sleep(kSettleAfterRestoreMs);
}

}  // namespace kv::diag
