#include "session/adapter_description.h"

#include <cstring>

#include "kelvalib.h"

namespace kv::diag {

std::string adapterDescription(const char* description) {
    const void* end = std::memchr(description, 0, KV_DESCRIPTION_CHARS);
    std::string text(description,
                     end ? static_cast<size_t>(static_cast<const char*>(end) - description) : KV_DESCRIPTION_CHARS);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    return text;
}

}  // namespace kv::diag
