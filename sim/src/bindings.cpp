#include "kv/sim/bindings.h"

#include <cstdio>
#include <stdexcept>

#include "kv/sim/machine.h"
#include "kv/text.h"

namespace kv::sim {

namespace {

std::string defaultPath(const std::string& component, size_t adapterIndex) {
    char lower[32];
    std::snprintf(lower, sizeof lower, "tvx_miniport_%04zu", adapterIndex % 10000);
    return component + "->" + lower;
}

}  // namespace

void readBindings(const Json& config, Machine& machine) {
    const Json& adapters = config["adapters"];
    for (size_t i = 0; i < machine.adapters.size(); ++i) {
        const Json& list = adapters[i]["bindings"];
        if (!adapters[i].contains("bindings")) {
            for (const char* component : kDefaultProtocols) {
                // The diagnostic protocol's binding is the one that makes the adapter enumerable.
                const bool bound = std::string_view(component) != "tvx_tvndpt60" || machine.adapters[i]->bound;
                machine.bindings.push_back({i, component, defaultPath(component, i), bound});
            }
            continue;
        }
        for (size_t k = 0; k < list.size(); ++k) {
            const Json& b = list[k];
            ProtocolBinding binding{i, b["component"].asString(), b["path"].asString(), b["bound"].asBool(true)};
            if (binding.component.empty())
                throw std::runtime_error("adapters[" + std::to_string(i) + "].bindings[" + std::to_string(k) +
                                         "].component is required");
            if (binding.path.empty()) binding.path = defaultPath(binding.component, i);
            machine.bindings.push_back(std::move(binding));
        }
    }
}

ProtocolBinding* findBinding(Machine& machine, std::string_view component, std::string_view path) {
    for (auto& b : machine.bindings)
        if (equalsIgnoreCase(utf8ToUtf16(b.component), utf8ToUtf16(component)) &&
            equalsIgnoreCase(utf8ToUtf16(b.path), utf8ToUtf16(path)))
            return &b;
    return nullptr;
}

}  // namespace kv::sim
