// The controller's three-wire serial EEPROM (a 93C46 with 6 address bits or a 93C56 with 8, as
// bit 0x40 of register 0x44 tells), driven bit by bit through register 0x50:
//   0x80 0x40  access mode (0x80: software drives the EEPROM pins)
//   0x08       chip select        0x04 clock        0x02 data to the EEPROM
//   0x01       data from the EEPROM (read only)
// A command starts with a 1 bit while chip select is high, then two opcode bits and the word
// address, each taken on a rising clock edge. READ (opcode 10) puts a dummy 0 on data out after
// the last address bit and then the word's 16 bits, most significant first, one per rising
// edge, going on with the next word. Other commands are ignored until chip select drops.
// The default content holds the adapter's Ethernet address in words 7-9, low byte first.
#include <algorithm>
#include <array>
#include <cstdio>

#include "kv/sim/adapter/components.h"
#include "kv/sim/adapter/registers.h"
#include "kv/sim/host.h"

namespace kv::sim {

namespace {

constexpr uint16_t kEepromRegister = 0x50;
constexpr uint16_t kConfigRegister = 0x44;
constexpr uint8_t kWideAddress = 0x40;  // in register 0x44: 8 address bits (93C56)

constexpr uint8_t kModeMask = 0xC0;
constexpr uint8_t kModeProgram = 0x80;
constexpr uint8_t kChipSelect = 0x08;
constexpr uint8_t kClock = 0x04;
constexpr uint8_t kDataIn = 0x02;
constexpr uint8_t kDataOut = 0x01;

constexpr unsigned kOpcodeRead = 0b10;
constexpr size_t kWords = 128;
constexpr uint16_t kErased = 0xFFFF;

class SerialEeprom : public AdapterComponent {
public:
    void configure(const Json& adapterJson, Adapter& adapter) override {
        index_ = adapter.index;
        words_.fill(kErased);
        const Json& words = adapterJson["eeprom"]["words"];
        if (words.isArray()) {
            for (size_t i = 0; i < words.size() && i < kWords; ++i)
                words_[i] = static_cast<uint16_t>(words[i].asUIntOrHex(kErased));
        } else {
            for (size_t i = 0; i < 3; ++i)
                words_[7 + i] = static_cast<uint16_t>(adapter.mac[2 * i] | (adapter.mac[2 * i + 1] << 8));
        }
        if (adapterJson["faults"]["eepromErased"].asBool(false)) words_.fill(0);

        registers_ = adapter.component<MacRegisters>();
        if (registers_) {
            registers_->addHook(kEepromRegister, RegisterHook{[this](uint8_t) { return readPins(); },
                                                              [this](uint8_t value) { writePins(value); }});
        }
    }

    std::optional<uint32_t> handle(OidCall&, Adapter&) override { return std::nullopt; }

private:
    enum class State { WaitStart, Opcode, Address, Reading, Ignoring };

    uint8_t readPins() const {
        return static_cast<uint8_t>((latch_ & ~kDataOut) | (selected() && dataOut_ ? kDataOut : 0));
    }

    bool selected() const { return (latch_ & kModeMask) == kModeProgram && (latch_ & kChipSelect); }

    void writePins(uint8_t value) {
        const bool clockWasHigh = latch_ & kClock;
        latch_ = value;
        if (!selected()) {
            state_ = State::WaitStart;
            dataOut_ = false;
            return;
        }
        if ((value & kClock) && !clockWasHigh) risingEdge((value & kDataIn) != 0);
    }

    void risingEdge(bool bit) {
        switch (state_) {
            case State::WaitStart:
                if (!bit) return;  // leading zeros before the start bit are ignored
                state_ = State::Opcode;
                shift_ = 0;
                bits_ = 0;
                // The address width follows the controller's strap of the EEPROM type.
                addressBits_ = registers_ && (registers_->read(kConfigRegister) & kWideAddress) ? 8 : 6;
                return;
            case State::Opcode:
                shift_ = (shift_ << 1) | (bit ? 1u : 0u);
                if (++bits_ < 2) return;
                opcode_ = shift_;
                state_ = State::Address;
                shift_ = 0;
                bits_ = 0;
                return;
            case State::Address:
                shift_ = (shift_ << 1) | (bit ? 1u : 0u);
                if (++bits_ < addressBits_) return;
                if (opcode_ != kOpcodeRead) {
                    state_ = State::Ignoring;
                    return;
                }
                address_ = shift_;
                startWord();
                dataOut_ = false;  // the dummy 0 before the data
                state_ = State::Reading;
                return;
            case State::Reading:
                if (bitIndex_ == 16) {
                    ++address_;
                    startWord();
                }
                dataOut_ = (word_ >> (15 - bitIndex_)) & 1;
                ++bitIndex_;
                return;
            case State::Ignoring:
                return;
        }
    }

    void startWord() {
        const unsigned mask = addressBits_ == 8 ? kWords - 1 : 0x3F;
        word_ = words_[address_ & mask];
        bitIndex_ = 0;
        char text[64];
        std::snprintf(text, sizeof text, "eeprom %u read %u %04x", index_, address_ & mask, word_);
        Host::get().trace().add(text);
    }

    uint32_t index_ = 0;
    std::array<uint16_t, kWords> words_{};
    MacRegisters* registers_ = nullptr;
    uint8_t latch_ = 0;
    bool dataOut_ = false;
    State state_ = State::WaitStart;
    unsigned shift_ = 0;
    unsigned bits_ = 0;
    unsigned addressBits_ = 6;
    unsigned opcode_ = 0;
    unsigned address_ = 0;
    uint16_t word_ = 0;
    unsigned bitIndex_ = 0;
};

}  // namespace

std::unique_ptr<AdapterComponent> makeSerialEeprom() { return std::make_unique<SerialEeprom>(); }

}  // namespace kv::sim
