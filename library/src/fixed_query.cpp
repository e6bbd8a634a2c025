#include "fixed_query.h"

#include "oid_request.h"

namespace kv::lib {

bool queryResult(uint32_t oid, void* out, uint32_t resultBytes) {
    if (!out) return false;
    auto request = OidRequestBuffer::forResult(oid, resultBytes);
    return request.query() && request.copyOut(0, out, resultBytes);
}

std::optional<uint32_t> queryU32(uint32_t oid) {
    auto request = OidRequestBuffer::forResult(oid, 4);
    if (!request.query()) return std::nullopt;
    return request.u32(0);
}

}  // namespace kv::lib
