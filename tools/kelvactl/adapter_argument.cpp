#include "adapter_argument.h"

#include <array>
#include <optional>
#include <string>

#include "failure.h"
#include "kelvalib.h"
#include "kv/jobs/ethernet_address.h"
#include "kv/jobs/text_layout.h"

namespace kv::kelvactl {

namespace {

// Up to three decimal digits: an index (twelve digits are an address).
std::optional<int> indexIn(std::string_view argument) {
    if (argument.empty() || argument.size() > 3) return std::nullopt;
    int index = 0;
    for (char c : argument) {
        if (c < '0' || c > '9') return std::nullopt;
        index = index * 10 + (c - '0');
    }
    return index;
}

std::optional<jobs::EthernetAddress> addressOf(const jobs::ListedAdapter& adapter) {
    jobs::EthernetAddress address{};
    if (API_SetCurrAdaptIdx(adapter.index) != 1 || API_GetSrcMac(address.data()) != 1) return std::nullopt;
    return address;
}

std::optional<std::string> connectionNameOf(const jobs::ListedAdapter& adapter) {
    if (API_SetCurrAdaptIdx(adapter.index) != 1) return std::nullopt;
    return jobs::readConnectionName();
}

std::string listHint(const std::vector<jobs::ListedAdapter>& adapters) {
    if (adapters.empty()) return "the protocol driver lists no adapter";
    return "kelvactl list shows the adapters 0 to " + std::to_string(adapters.size() - 1);
}

}  // namespace

jobs::ListedAdapter resolveAdapter(std::string_view argument, const std::vector<jobs::ListedAdapter>& adapters) {
    const std::string quoted = "\"" + std::string(argument) + "\"";
    if (const auto index = indexIn(argument)) {
        if (*index < static_cast<int>(adapters.size())) return adapters[static_cast<size_t>(*index)];
        fail(exitcode::kNoSuchAdapter, "there is no adapter " + std::to_string(*index) + ": " + listHint(adapters));
    }
    if (const auto wanted = jobs::parseEthernetAddressAnySpelling(argument)) {
        const jobs::ListedAdapter* found = nullptr;
        for (const auto& adapter : adapters) {
            if (addressOf(adapter) != wanted) continue;
            if (!found || (found->parentIndex >= 0 && adapter.parentIndex < 0)) found = &adapter;
        }
        if (found) return *found;
        fail(exitcode::kNoSuchAdapter, "no adapter has the Ethernet address " + quoted + ": " + listHint(adapters));
    }
    for (const auto& adapter : adapters)
        if (const auto name = connectionNameOf(adapter); name && jobs::sameLetters(*name, argument)) return adapter;
    fail(exitcode::kNoSuchAdapter,
         "no adapter has the index, Ethernet address or connection name " + quoted + ": " + listHint(adapters));
}

}  // namespace kv::kelvactl
