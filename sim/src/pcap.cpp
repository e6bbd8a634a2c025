#include "kv/sim/pcap.h"

#include <array>
#include <chrono>

#include "kv/bytes.h"

namespace kv::sim {

namespace {

constexpr uint32_t kMagic = 0xA1B2C3D4;  // microsecond time stamps
constexpr uint32_t kSnapLength = 65535;
constexpr uint32_t kLinkTypeEthernet = 1;

}  // namespace

void PcapFile::open(const std::string& path) {
    out_.open(path, std::ios::binary | std::ios::trunc);
    if (!out_) return;
    using namespace std::chrono;
    baseUs_ = static_cast<uint64_t>(duration_cast<microseconds>(system_clock::now().time_since_epoch()).count());
    std::array<uint8_t, 24> header{};
    writeU32(header, 0, kMagic);
    writeU16(header, 4, 2);  // version 2.4
    writeU16(header, 6, 4);
    // time zone offset and accuracy stay 0
    writeU32(header, 16, kSnapLength);
    writeU32(header, 20, kLinkTypeEthernet);
    out_.write(reinterpret_cast<const char*>(header.data()), header.size());
    out_.flush();
}

void PcapFile::write(uint64_t simMs, std::span<const uint8_t> frame) {
    if (!out_.is_open()) return;
    const uint64_t us = baseUs_ + simMs * 1000;
    const auto length = static_cast<uint32_t>(std::min<size_t>(frame.size(), kSnapLength));
    std::array<uint8_t, 16> record{};
    writeU32(record, 0, static_cast<uint32_t>(us / 1000000));
    writeU32(record, 4, static_cast<uint32_t>(us % 1000000));
    writeU32(record, 8, length);
    writeU32(record, 12, static_cast<uint32_t>(frame.size()));
    out_.write(reinterpret_cast<const char*>(record.data()), record.size());
    out_.write(reinterpret_cast<const char*>(frame.data()), length);
    out_.flush();
}

}  // namespace kv::sim
