#include "oid_request.h"

#include <algorithm>
#include <cstring>

#include "channel.h"
#include "kv/bytes.h"
#include "kv/protocol.h"

namespace kv::lib {

namespace {
constexpr uint32_t kHeader = protocol::kOidHeaderBytes;
}

OidRequestBuffer::OidRequestBuffer(uint32_t oid, uint32_t totalBytes) : bytes_(std::max(totalBytes, kHeader), 0) {
    writeU32(bytes_, 0, oid);
    writeU32(bytes_, 4, 0);  // PortNumber
}

void OidRequestBuffer::putU16(uint32_t off, uint16_t v) { writeU16(bytes_, kHeader + size_t(off), v); }
void OidRequestBuffer::putU32(uint32_t off, uint32_t v) { writeU32(bytes_, kHeader + size_t(off), v); }

void OidRequestBuffer::putBytes(uint32_t off, std::span<const uint8_t> b) {
    const size_t start = kHeader + size_t(off);
    if (start > bytes_.size()) return;
    const size_t n = std::min(b.size(), bytes_.size() - start);
    std::copy_n(b.begin(), n, bytes_.begin() + static_cast<std::ptrdiff_t>(start));
}

uint16_t OidRequestBuffer::u16(uint32_t off) const { return readU16(bytes_, kHeader + size_t(off)); }
uint32_t OidRequestBuffer::u32(uint32_t off) const { return readU32(bytes_, kHeader + size_t(off)); }
uint64_t OidRequestBuffer::u64(uint32_t off) const { return readU64(bytes_, kHeader + size_t(off)); }

std::span<const uint8_t> OidRequestBuffer::data(uint32_t off) const {
    const size_t start = std::min(bytes_.size(), kHeader + size_t(off));
    return std::span<const uint8_t>(bytes_).subspan(start);
}

bool OidRequestBuffer::copyOut(uint32_t off, void* out, uint32_t count) const {
    const auto d = data(off);
    if (d.size() < count) return false;
    if (count) std::memcpy(out, d.data(), count);
    return true;
}

bool OidRequestBuffer::send(uint32_t code) { return sendControl(code, bytes_.data(), length(), bytes_.data(), length()); }
bool OidRequestBuffer::query() { return send(protocol::IOCTL_PROT_QUERY_OID); }
bool OidRequestBuffer::set() { return send(protocol::IOCTL_PROT_SET_OID); }

}  // namespace kv::lib
