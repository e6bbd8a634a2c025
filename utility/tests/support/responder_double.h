// The Initiator's side of the send-and-receive tests: its machine, and a Responder of the test's
// own on the machine's second adapter that answers the page's blocks in the ways a test asks for.
#pragma once

#include <atomic>
#include <thread>

#include "kv/platform/sockets.h"
#include "kv/sim/testing/machine_builder.h"

namespace kv::diag::testing {

// Adapter 0 under test (10.1.1.5/8, gateway 10.0.0.1, DNS 10.0.0.53), and a second adapter at
// 192.168.12.1 where a responder double listens.
kv::sim::testing::MachineBuilder initiatorMachine();

// A Responder at 192.168.12.1:8888, listening from its construction, serving one connection.
class ResponderDouble {
public:
    enum class Mode {
        EchoThenClose,    // echoes `blocks` blocks, takes one more and closes the connection
        SplitEcho,        // echoes the first block in two segments, the second after the next block
        EchoUntilClosed,  // echoes every block at once until the Initiator closes
    };

    ResponderDouble(Mode mode, int blocks);
    ~ResponderDouble();
    ResponderDouble(const ResponderDouble&) = delete;
    ResponderDouble& operator=(const ResponderDouble&) = delete;

private:
    void serve(Mode mode, int blocks);

    kv::platform::SocketHandle listener_ = kv::platform::kInvalidSocket;
    std::atomic<kv::platform::SocketHandle> connection_{kv::platform::kInvalidSocket};
    std::thread thread_;
};

}  // namespace kv::diag::testing
