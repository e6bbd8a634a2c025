// Listing the adapters the protocol driver is bound to, and selecting the current one.
#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "binding_reply.h"
#include "channel.h"
#include "kelvalib.h"
#include "kv/platform/system.h"
#include "kv/protocol.h"
#include "kv/text.h"
#include "notify.h"
#include "oid_request.h"
#include "state.h"
#include "vlan_devices.h"

using namespace kv;

namespace {

constexpr char16_t kMakerName[] = u"Tavrick";

// Formats text with "%s\n" into a slot of `capacity` characters, cutting the text so that the
// line feed and the terminator always fit.
template <typename Char>
void putLine(Char* slot, size_t capacity, const std::basic_string<Char>& text) {
    const size_t n = std::min(text.size(), capacity - 2);
    std::copy_n(text.begin(), n, slot);
    slot[n] = Char('\n');
    slot[n + 1] = Char(0);
}

template <typename List, typename Convert>
int listAdapters(List* list, Convert&& convert) {
    if (!list) return 0;
    std::vector<std::u16string> guids;
    const int count = lib::walkBindings([&](uint32_t i, const lib::Binding& binding) {
        putLine(list->Description[i], KV_DESCRIPTION_CHARS, convert(binding.description));
        guids.push_back(lib::state().deviceNames.guid(static_cast<int>(i)));
    });
    if (count < 0) return 0;
    // A VLAN virtual adapter names the entry of its physical adapter; every other entry is -1.
    const auto parents = lib::parentIndexes(guids);
    for (size_t i = 0; i < parents.size(); ++i) list->ParentIndex[i] = parents[i];
    list->Count = static_cast<uint32_t>(count);
    list->Current = 0;
    API_SetCurrAdaptIdx(0);
    return 1;
}

}  // namespace

KV_API int API_GetAdapterList_W(AdapterList_W* list) {
    return listAdapters(list, [](const std::u16string& d) { return std::basic_string<KV_WCHAR>(d.begin(), d.end()); });
}

KV_API int API_GetAdapterList_A(AdapterList_A* list) {
    return listAdapters(list, [](const std::u16string& d) { return utf16ToAnsi(d); });
}

KV_API int API_SetCurrAdaptIdx(int index) {
    API_Close();
    API_Open();
    if (!API_IsPlug()) lib::showMessage("INVALID_HANDLE_VALUE");
    auto& st = lib::state();
    st.currentIndex = index;
    // An index outside the table reads as an empty slot.
    const std::u16string name = st.deviceNames.name(index);
    if (lib::sendControl(protocol::IOCTL_PROT_OPEN_DEVICE, name.data(), static_cast<uint32_t>(name.size() * 2), nullptr,
                         0)) {
        API_EnableTVXDiag();
        return 1;
    }
    const uint32_t error = platform::system().lastError();
    if (error == platform::err::kBusy) platform::system().exitProcess(static_cast<uint32_t>(-1));
    lib::showMessage("Set Error code is " + std::to_string(error));
    return 0;
}

KV_API int API_EnableTVXDiag(void) {
    auto request = lib::OidRequestBuffer::ofLength(protocol::OID_TVX_ENABLE_DIAG, 12);
    request.putU16(0, protocol::kDiagAccessWord0);
    request.putU16(2, protocol::kDiagAccessWord1);
    return request.query() ? 1 : 0;
}

KV_API int API_HPSetIndex(void) {
    auto list = std::make_unique<AdapterList_W>();
    std::memset(list.get(), 0, sizeof(AdapterList_W));
    if (!API_GetAdapterList_W(list.get())) return 0;
    const std::u16string_view maker(kMakerName);
    for (uint32_t i = 0; i < list->Count && i < KV_MAX_ADAPTERS; ++i) {
        const KV_WCHAR* description = list->Description[i];
        // Case-sensitive, over the maker name's length; the slot's terminator stops a short text.
        size_t k = 0;
        while (k < maker.size() && static_cast<char16_t>(description[k]) == maker[k]) ++k;
        if (k == maker.size()) return API_SetCurrAdaptIdx(static_cast<int>(i));
    }
    return 0;
}

KV_API int API_CheckCardPresent(void) {
    for (int attempt = 0; attempt < 20; ++attempt) {
        platform::clock().sleep(500);
        if (API_SetCurrAdaptIdx(lib::state().currentIndex)) return 1;
    }
    lib::showMessage("Card has beeen disable");
    return 0;
}
