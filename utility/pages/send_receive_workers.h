// The two worker threads of the send-and-receive test, over TCP port 8888: the Responder accepts
// one connection and echoes every block; the Initiator sends blocks of pseudo-random bytes,
// compares each echo and counts. Both end by putting the adapter's saved settings back.
#pragma once

#include <cstdint>
#include <memory>

namespace kv::diag {

class SendReceiveLink;

uint32_t runResponder(const std::shared_ptr<SendReceiveLink>& link);
uint32_t runInitiator(const std::shared_ptr<SendReceiveLink>& link);

}  // namespace kv::diag
