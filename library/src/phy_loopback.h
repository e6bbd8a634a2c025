// The bracket of the PHY-based self-tests: diagnostic mode and PHY diagnostic mode, the chip's
// PHY loopback set-up by PCI device ID and the wait for link; on every exit the chip's restore,
// the end of PHY diagnostic mode and an auto-negotiation restart. And the test-frame exchange
// they run inside it.
#pragma once

#include <array>
#include <cstdint>

namespace kv::lib {

using TestData = std::array<uint8_t, 256>;

TestData incrementingPattern();
TestData filledPattern(uint8_t value);

// Sends `send` in a test frame and reads one back into a zeroed receive area; true when a frame
// came back and the area then equals `send`.
bool exchangeTestFrame(const TestData& send, TestData& receive);
bool exchangeTestFrame(const TestData& send);

class PhyLoopback {
public:
    PhyLoopback();
    ~PhyLoopback();
    PhyLoopback(const PhyLoopback&) = delete;
    PhyLoopback& operator=(const PhyLoopback&) = delete;

    // 1000 ms, then link polls with 1000 ms between them; false after the tenth such wait without
    // link (eleven waits in all).
    bool waitForLink();

private:
    uint16_t deviceId_ = 0;
};

}  // namespace kv::lib
