// The adapter's connection name ("Local Area Connection") from the network configuration key.
#include <optional>
#include <string>

#include "device_search.h"
#include "kelvalib.h"
#include "kv/platform/registry.h"
#include "notify.h"
#include "state.h"
#include "text_field.h"

using namespace kv;

namespace {

constexpr char16_t kNetworkKey[] =
    u"SYSTEM\\CurrentControlSet\\Control\\Network\\{4D36E972-E325-11CE-BFC1-08002BE10318}\\";

// The name's read capacity: 24 UTF-16 characters and the terminator for the W form, a text field
// of 260 characters for the A form.
constexpr uint32_t kWideNameBytes = 50;
constexpr uint32_t kAnsiNameBytes = KV_TEXT_CHARS * 2;

// Reads the name; a name longer than the capacity is a failed read.
std::optional<std::u16string> connectionName(uint32_t capacityBytes) {
    const std::u16string path = kNetworkKey + lib::currentAdapterGuid() + u"\\Connection";
    platform::RegKey key;
    if (platform::registry().openKey(platform::hiveKey(platform::Hive::LocalMachine), path, platform::regaccess::kRead,
                                     key.receive()) != platform::err::kSuccess) {
        lib::showMessage("API_GetConnName_W(): Cannot open registry key.");
        return std::nullopt;
    }
    return lib::readStringValue(key.get(), u"name", capacityBytes);
}

// The caller's buffer holds `size` characters; a name that does not fit there fails too.
template <typename Char>
int getConnectionName(Char* out, int size, uint32_t capacityBytes) {
    const auto name = connectionName(capacityBytes);
    if (!name || size <= 0) return 0;
    return lib::putText(out, static_cast<size_t>(size), *name) ? 1 : 0;
}

}  // namespace

KV_API int API_GetConnName_W(KV_WCHAR* name, int size) { return getConnectionName(name, size, kWideNameBytes); }

KV_API int API_GetConnName_A(char* name, int size) { return getConnectionName(name, size, kAnsiNameBytes); }
