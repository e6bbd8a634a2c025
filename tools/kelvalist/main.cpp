// kelvalist: opens the library, lists the adapters the protocol driver is bound to, and shows
// each one as the library reports it.
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "kelvalib.h"

namespace {

std::string withoutLineFeed(const char* text) {
    std::string s(text);
    if (!s.empty() && s.back() == '\n') s.pop_back();
    return s;
}

}  // namespace

int main() {
    if (!API_Open()) {
        std::puts("The protocol driver's device cannot be opened.");
        return 1;
    }
    auto list = std::make_unique<AdapterList_A>();
    std::memset(list.get(), 0, sizeof(AdapterList_A));
    if (!API_GetAdapterList_A(list.get())) {
        std::puts("The adapter list cannot be read.");
        API_Close();
        return 1;
    }
    std::printf("%u adapter(s)\n", list->Count);
    for (uint32_t i = 0; i < list->Count; ++i) {
        std::printf("\n[%u] %s\n", i, withoutLineFeed(list->Description[i]).c_str());
        if (!API_SetCurrAdaptIdx(static_cast<int>(i))) {
            std::puts("    cannot be selected");
            continue;
        }
        std::puts("    selected, diagnostic mode on");
    }
    API_Close();
    return 0;
}
