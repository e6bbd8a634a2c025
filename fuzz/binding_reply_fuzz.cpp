// The enumeration reply: the device name and description are read at the offsets the reply
// itself gives, up to their terminators, never past the reply's end, whatever the offsets.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "binding_reply.h"
#include "fuzz_check.h"
#include "kv/bytes.h"

using kv::fuzz::check;

namespace {

void readString(const uint8_t* reply, uint32_t bytes, uint32_t offset) {
    const std::u16string text = kv::lib::replyString(reply, bytes, offset);
    check(offset <= bytes ? text.size() <= (bytes - offset) / 2 : text.empty(), "the string lies inside the reply");
    check(text.find(u'\0') == std::u16string::npos, "the string ends at its terminator");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The reply in a buffer of exactly its length, so that any read past it is caught.
    const auto bytes = static_cast<uint32_t>(std::min<size_t>(size, 4096));
    auto reply = std::make_unique<uint8_t[]>(bytes);
    std::copy_n(data, bytes, reply.get());
    const auto field = [&](uint32_t offset) {
        return offset + 4 <= bytes ? kv::readU32(std::span<const uint8_t>(reply.get(), bytes), offset) : 0u;
    };
    readString(reply.get(), bytes, field(4));   // DeviceNameOffset
    readString(reply.get(), bytes, field(12));  // DeviceDescrOffset
    return 0;
}
