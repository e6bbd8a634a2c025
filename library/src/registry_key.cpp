// Handing a sub-key of the current adapter's driver key to the caller, who closes it.
#include <string>

#include "device_search.h"
#include "kelvalib.h"
#include "kv/platform/registry.h"
#include "state.h"
#include "text_field.h"

using namespace kv;

namespace {

// An empty sub-key opens the driver key itself.
int openDriverSubKey(KV_HKEY* out, const std::u16string& subKey, int writable) {
    if (!out) return 0;
    auto device = lib::findAdapterDevice(lib::currentAdapterGuid(), lib::SearchMessages::None);
    if (!device) return 0;
    platform::RegKeyHandle key = nullptr;
    const uint32_t access = writable ? platform::regaccess::kWrite : platform::regaccess::kRead;
    if (platform::registry().openKey(device->driverKey.get(), subKey, access, &key) != platform::err::kSuccess)
        return 0;
    *out = static_cast<KV_HKEY>(key);
    return 1;
}

}  // namespace

KV_API int API_GetRegHKey_W(KV_HKEY* key, const KV_WCHAR* subKey, int writable) {
    return openDriverSubKey(key, lib::fromCaller(subKey), writable);
}

KV_API int API_GetRegHKey_A(KV_HKEY* key, const char* subKey, int writable) {
    return openDriverSubKey(key, lib::fromCaller(subKey), writable);
}
