// Waking a computer as the Wake On LAN page does: a magic packet through the current adapter, or
// the system's ping started once, hidden, so that its address resolution or name query reaches
// the sleeping computer's adapter.
#pragma once

#include <string_view>

#include "kv/jobs/ethernet_address.h"

namespace kv::jobs {

// API_SendMagicPacket: true when the frame went out.
bool sendMagicPacket(const EthernetAddress& target);

// "ping -n 1 <target>", hidden and not waited for; the target goes to the program as its
// parameters, as typed: no command interpreter sees it. True when the program started.
bool startPing(std::u16string_view target);

}  // namespace kv::jobs
