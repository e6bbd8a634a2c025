// Little-endian access to byte buffers, bounds-checked by the caller's span.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace kv {

inline uint16_t readU16(std::span<const uint8_t> b, size_t off) {
    return (off + 2 <= b.size()) ? uint16_t(b[off] | (b[off + 1] << 8)) : 0;
}
inline uint32_t readU32(std::span<const uint8_t> b, size_t off) {
    if (off + 4 > b.size()) return 0;
    return uint32_t(b[off]) | (uint32_t(b[off + 1]) << 8) | (uint32_t(b[off + 2]) << 16) | (uint32_t(b[off + 3]) << 24);
}
inline uint64_t readU64(std::span<const uint8_t> b, size_t off) {
    if (off + 8 > b.size()) return 0;
    return uint64_t(readU32(b, off)) | (uint64_t(readU32(b, off + 4)) << 32);
}
inline void writeU16(std::span<uint8_t> b, size_t off, uint16_t v) {
    if (off + 2 > b.size()) return;
    b[off] = uint8_t(v);
    b[off + 1] = uint8_t(v >> 8);
}
inline void writeU32(std::span<uint8_t> b, size_t off, uint32_t v) {
    if (off + 4 > b.size()) return;
    for (int i = 0; i < 4; ++i) b[off + i] = uint8_t(v >> (8 * i));
}
inline void writeU64(std::span<uint8_t> b, size_t off, uint64_t v) {
    if (off + 8 > b.size()) return;
    for (int i = 0; i < 8; ++i) b[off + i] = uint8_t(v >> (8 * i));
}

}  // namespace kv
