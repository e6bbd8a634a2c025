// Generic and fixed NDIS queries of the current adapter: any OID, the statistics record, the
// hardware status, the vendor description and the one-collision count; and setting any OID.
#include <algorithm>
#include <cstring>

#include "fixed_query.h"
#include "kelvalib.h"
#include "kv/ndis.h"
#include "kv/protocol.h"
#include "oid_request.h"

using namespace kv;

namespace {

namespace st = ndis::statistics;

// The largest result API_GetOID asks the driver for: no command answers more than a few kilobytes,
// and a length near 4 GiB would make the request's 12 + n size wrap.
constexpr uint32_t kMaxOidResultBytes = 64 * 1024;
// The value bytes a 16-byte set request carries.
constexpr uint32_t kSetRequestBytes = 16;
constexpr uint32_t kMaxSetValueBytes = kSetRequestBytes - protocol::kOidHeaderBytes;

// The two byte totals the library answers from the statistics record.
int byteTotal(uint32_t recordOffset, void* out, uint32_t length) {
    // A length that runs past the record's end has nothing to be copied from.
    if (length > st::kBytes - recordOffset) return 0;
    auto request = lib::OidRequestBuffer::forResult(protocol::OID_GEN_STATISTICS, st::kBytes);
    return request.query() && request.copyOut(recordOffset, out, length) ? 1 : 0;
}

int anyOid(uint32_t oid, void* out, uint32_t length) {
    if (length > kMaxOidResultBytes) return 0;
    auto request = lib::OidRequestBuffer::forResult(oid, length);
    return request.query() && request.copyOut(0, out, length) ? 1 : 0;
}

int queryInt(uint32_t oid, int* out) {
    if (!out) return 0;
    const auto value = lib::queryU32(oid);
    if (!value) return 0;
    *out = static_cast<int>(*value);
    return 1;
}

}  // namespace

KV_API int API_GetOID(uint32_t oid, void* out, uint32_t length, uint32_t* outLength) {
    if ((!out && length) || !outLength) return 0;
    int ok = 0;
    if (oid == protocol::OID_TVX_BYTES_XMIT)
        ok = byteTotal(st::kOutOctets, out, length);
    else if (oid == protocol::OID_TVX_BYTES_RCV)
        ok = byteTotal(st::kInOctets, out, length);
    else
        ok = anyOid(oid, out, length);
    if (ok) *outLength = length;
    return ok;
}

KV_API int API_SetOID(uint32_t oid, const void* value, uint32_t length) {
    auto request = lib::OidRequestBuffer::ofLength(oid, kSetRequestBytes);
    if (value) {
        const uint32_t n = std::min(length, kMaxSetValueBytes);
        request.putBytes(0, std::span<const uint8_t>(static_cast<const uint8_t*>(value), n));
    }
    return request.set() ? 1 : 0;
}

KV_API int API_GetStatistics(uint8_t* statistics152) {
    return lib::queryResult(protocol::OID_GEN_STATISTICS, statistics152, st::kBytes) ? 1 : 0;
}

KV_API int API_GetHWStatus(int* status) { return queryInt(protocol::OID_GEN_HARDWARE_STATUS, status); }

KV_API int API_GetDriverDescription(uint8_t* description50) {
    return lib::queryResult(protocol::OID_GEN_VENDOR_DESCRIPTION, description50, 50) ? 1 : 0;
}

KV_API int API_GetTXRetryCount(int* count) { return queryInt(protocol::OID_802_3_XMIT_ONE_COLLISION, count); }
