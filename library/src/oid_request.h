// The one place command requests are built: an OidRequest buffer with the command id, port
// number 0 and operands at fixed data offsets, sent on the shared channel with the same buffer
// for input and output.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace kv::lib {

class OidRequestBuffer {
public:
    // A request whose result is `resultBytes` long: 12 + resultBytes bytes in all.
    static OidRequestBuffer forResult(uint32_t oid, uint32_t resultBytes) { return {oid, 12 + resultBytes}; }
    // A request of exactly `totalBytes` bytes (at least the 8-byte header).
    static OidRequestBuffer ofLength(uint32_t oid, uint32_t totalBytes) { return {oid, totalBytes}; }

    // Operands and results, at offsets from the start of the data area. Out-of-range access
    // writes nothing and reads zero.
    void putU16(uint32_t dataOffset, uint16_t value);
    void putU32(uint32_t dataOffset, uint32_t value);
    void putBytes(uint32_t dataOffset, std::span<const uint8_t> bytes);
    uint16_t u16(uint32_t dataOffset) const;
    uint32_t u32(uint32_t dataOffset) const;
    uint64_t u64(uint32_t dataOffset) const;
    // The data area, or the part of it from dataOffset on.
    std::span<const uint8_t> data(uint32_t dataOffset = 0) const;
    // Copies `count` bytes from the data area into out; false when they are not all there.
    bool copyOut(uint32_t dataOffset, void* out, uint32_t count) const;

    uint32_t length() const { return static_cast<uint32_t>(bytes_.size()); }
    const std::vector<uint8_t>& bytes() const { return bytes_; }

    // IOCTL_PROT_QUERY_OID / IOCTL_PROT_SET_OID.
    bool query();
    bool set();

private:
    OidRequestBuffer(uint32_t oid, uint32_t totalBytes);
    bool send(uint32_t code);

    std::vector<uint8_t> bytes_;
};

}  // namespace kv::lib
