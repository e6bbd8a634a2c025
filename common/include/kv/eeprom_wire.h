// The controller's three-wire serial EEPROM (a 93C46 with 6 address bits or a 93C56 with 8),
// driven bit by bit through one controller register. The read command's bit sequence lives here
// once, for everything that reads EEPROM words through the register window.
//
// Bits of the port register: 0x80 program mode (software drives the pins), 0x08 chip select,
// 0x04 clock, 0x02 data to the EEPROM, 0x01 data from the EEPROM; bits 0x30 keep their value.
#pragma once

#include <cstdint>

namespace kv::eeprom {

inline constexpr uint16_t kConfigRegister = 0x44;
inline constexpr uint8_t kWideAddress = 0x40;  // in the configuration register: 8 address bits
inline constexpr uint16_t kPortRegister = 0x50;
inline constexpr uint32_t kEdgeMs = 1;  // each clock edge is held this long

// Address bits and words of the part the configuration register names.
inline unsigned addressBits(uint8_t config) { return (config & kWideAddress) ? 8 : 6; }
inline unsigned wordCount(uint8_t config) { return 1u << addressBits(config); }

// Reads words through a port with `uint8_t read()`, `bool write(uint8_t)` and `void wait()`. A
// write the port reports as failed ends the word at once; `failed()` then tells.
template <typename Port>
class WordReader {
public:
    WordReader(Port& port, unsigned addressBits) : port_(port), addressBits_(addressBits) {}

    // Start bit and the read command (1 1 0), the address most significant bit first, then 16
    // data bits, most significant first; ends deselected after one more clock pulse, with the
    // access mode left on program.
    uint16_t readWord(uint16_t address) {
        value_ = static_cast<uint8_t>((port_.read() & kKeepBits) | kProgramMode | kChipSelect);
        put();
        shiftOut(1);
        shiftOut(1);
        shiftOut(0);
        for (unsigned bit = addressBits_; bit-- > 0;) shiftOut((address >> bit) & 1);
        value_ &= static_cast<uint8_t>(~kDataIn);
        put();
        uint16_t word = 0;
        for (int i = 0; i < 16 && !failed_; ++i) {
            value_ |= kClock;
            put();
            port_.wait();
            word = static_cast<uint16_t>((word << 1) | (port_.read() & kDataOut));
            value_ &= static_cast<uint8_t>(~kClock);
            put();
            port_.wait();
        }
        value_ &= kEndMask;
        put();
        pulseClock();
        return word;
    }

    bool failed() const { return failed_; }

private:
    static constexpr uint8_t kKeepBits = 0x30;
    static constexpr uint8_t kProgramMode = 0x80;
    static constexpr uint8_t kChipSelect = 0x08;
    static constexpr uint8_t kClock = 0x04;
    static constexpr uint8_t kDataIn = 0x02;
    static constexpr uint8_t kDataOut = 0x01;
    static constexpr uint8_t kEndMask = 0xF5;  // clears chip select and data in

    void put() {
        if (!failed_ && !port_.write(value_)) failed_ = true;
    }

    // Clock high, then low, each edge written and held for one wait.
    void pulseClock() {
        value_ |= kClock;
        put();
        port_.wait();
        value_ &= static_cast<uint8_t>(~kClock);
        put();
        port_.wait();
    }

    void shiftOut(unsigned bit) {
        value_ = bit ? static_cast<uint8_t>(value_ | kDataIn) : static_cast<uint8_t>(value_ & ~kDataIn);
        put();
        port_.wait();
        pulseClock();
    }

    Port& port_;
    unsigned addressBits_;
    uint8_t value_ = 0;
    bool failed_ = false;
};

}  // namespace kv::eeprom
