// The adapter's TCP/IP settings as the send-and-receive test saves them before it gives the
// adapter its fixed test address, and puts them back afterwards.
#pragma once

#include <string>

#include "session/adapter_session.h"

namespace kv::diag {

using TcpipBackup = IpSettings;

// The selected adapter's settings (zeros when the library cannot read them).
TcpipBackup readTcpipBackup(AdapterSession& session);

// "%d.%d.%d.%d".
std::string dottedText(const Ipv4Bytes& address);
// The same, or "" (none) when all four bytes are 0: a gateway or DNS server.
std::string optionalDottedText(const Ipv4Bytes& address);

// Gives the adapter a static address with that mask and neither gateway nor DNS server, then
// restarts its driver so the address is in effect.
void setTestAddress(const char* address, const char* mask);
// Writes the saved settings back, restarts the driver and gives the adapter 3000 ms.
void restoreTcpipBackup(const TcpipBackup& saved);

}  // namespace kv::diag
