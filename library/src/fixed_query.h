// Queries whose result is a fixed number of bytes at data offset 0 of the request: the request
// is 12 + n bytes long and the result reaches the caller only when the request succeeded.
#pragma once

#include <cstdint>
#include <optional>

namespace kv::lib {

// Copies the n result bytes into out on success. False for a null out, without a request.
bool queryResult(uint32_t oid, void* out, uint32_t resultBytes);
// A u32 result: a 16-byte request.
std::optional<uint32_t> queryU32(uint32_t oid);

}  // namespace kv::lib
