// kelvactl vlan: the VLAN page's list of a physical adapter's VLANs and its add, delete and
// renumbering, each saying what it changed.
#include <algorithm>
#include <charconv>

#include "commands.h"
#include "failure.h"
#include "invocation.h"
#include "json_facts.h"
#include "kv/jobs/capabilities.h"
#include "kv/jobs/vlans.h"
#include "kv/protocol.h"

namespace kv::kelvactl {

namespace {

uint16_t vlanIdArgument(const std::string& text) {
    uint32_t id = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), id);
    if (ec != std::errc() || end != text.data() + text.size() || id < protocol::kLowestVlanId ||
        id > protocol::kHighestVlanId)
        fail(exitcode::kUsage, "a VLAN ID is a number from 1 to 4094, not \"" + text + "\"");
    return static_cast<uint16_t>(id);
}

// The adapter's VLANs, with the adapter list read again (an add or a delete changes it).
struct Vlans {
    std::vector<jobs::ListedAdapter> adapters;
    jobs::VlanListing listing;
};
Vlans readVlans(const jobs::ListedAdapter& parent) {
    Vlans vlans{jobs::listAdapters().value_or(std::vector<jobs::ListedAdapter>{}), {}};
    std::vector<int32_t> parents;
    for (const auto& adapter : vlans.adapters) parents.push_back(adapter.parentIndex);
    vlans.listing = jobs::listVlans(parents, parent.index);
    return vlans;
}

// Two VLANs of one ID on one adapter would tag the same frames twice over: an ID is taken once.
void refuseTakenId(const Vlans& vlans, const jobs::ListedAdapter& parent, uint16_t id) {
    const auto& rows = vlans.listing.vlans;
    if (std::any_of(rows.begin(), rows.end(), [id](const jobs::VlanRow& v) { return v.vlanId == id; }))
        fail(exitcode::kUsage, adapterName(parent) + " has a VLAN " + std::to_string(id) + " already");
}

const jobs::VlanRow& vlanWithId(const Vlans& vlans, const jobs::ListedAdapter& parent, uint16_t id) {
    const auto& rows = vlans.listing.vlans;
    const auto found = std::find_if(rows.begin(), rows.end(), [id](const jobs::VlanRow& v) { return v.vlanId == id; });
    if (found == rows.end())
        fail(exitcode::kNoSuchAdapter, adapterName(parent) + " has no VLAN " + std::to_string(id) + ": kelvactl vlan " +
                                           std::to_string(parent.index) + " lists them");
    return *found;
}

}  // namespace

int runVlan(Invocation& invocation) {
    const auto& arguments = invocation.line().positionals;
    const std::string operation = arguments.size() > 1 ? arguments[1] : "list";
    const size_t wanted = operation == "list" ? 2 : operation == "add" || operation == "delete" ? 3 : 4;
    if ((operation != "list" && operation != "add" && operation != "delete" && operation != "set") ||
        (arguments.size() != wanted && !(operation == "list" && arguments.size() == 1)))
        fail(exitcode::kUsage, "usage: kelvactl vlan ADAPTER [list | add ID | delete ID | set ID NEW]");
    const uint16_t id = wanted >= 3 ? vlanIdArgument(arguments[2]) : 0;
    const uint16_t newId = wanted == 4 ? vlanIdArgument(arguments[3]) : 0;

    const jobs::ListedAdapter parent = invocation.adapterArgument(0);
    if (parent.parentIndex >= 0)
        fail(exitcode::kUsage,
             adapterName(parent) + " is a VLAN itself: name its adapter, " + std::to_string(parent.parentIndex));
    const jobs::AdapterRecords records = invocation.select(parent);
    Invocation::require(parent, records, jobs::pageset::kFamilyChips, "VLANs",
                        "only the Tavrick family's drivers carry them");
    if (records.driverVersion < jobs::kFirstVlanDriverVersion)
        fail(exitcode::kLibraryFailed,
             "the driver of " + adapterName(parent) +
                 " carries no VLANs: update the network adapter driver to Version 5.611 or later");

    Output& out = invocation.output();
    Vlans vlans = readVlans(parent);
    JsonValue change;
    if (operation != "list") {
        const size_t mark = invocation.messages().mark();
        std::string done;
        bool accepted = false;
        if (operation == "add" || operation == "set") refuseTakenId(vlans, parent, operation == "add" ? id : newId);
        if (operation == "add") {
            invocation.select(parent);
            accepted = jobs::addVlan(id);
            done = "Added VLAN " + std::to_string(id) + " to ";
        } else {
            const jobs::VlanRow& vlan = vlanWithId(vlans, parent, id);
            accepted = operation == "delete" ? jobs::deleteVlan(static_cast<uint32_t>(vlan.adapterIndex))
                                             : jobs::changeVlanId(static_cast<uint32_t>(vlan.adapterIndex), newId);
            done = operation == "delete"
                       ? "Deleted VLAN " + std::to_string(id) + " (adapter " + std::to_string(vlan.adapterIndex) +
                             ") from "
                       : "VLAN " + std::to_string(id) + " is now VLAN " + std::to_string(newId) + " on ";
        }
        if (!accepted)
            fail(exitcode::kLibraryFailed, "the " + operation + " of VLAN " + std::to_string(id) + " on " +
                                               adapterName(parent) + " was refused" +
                                               invocation.messages().saidSince(mark) + ": kelvactl vlan " +
                                               std::to_string(parent.index) + " lists what is there now");
        vlans = readVlans(parent);
        out.print(done + adapterName(parent) + ".\n");
        change = JsonValue::object()
                     .set("operation", operation)
                     .set("vlan_id", uint32_t{id})
                     .set("new_vlan_id", operation == "set" ? JsonValue(uint32_t{newId}) : JsonValue());
    }
    out.print(jobs::adapterHeading(parent) + "\n" + jobs::vlanListText(vlans.listing, vlans.adapters));
    out.setDocument(JsonValue::object()
                        .set("adapter", adapterJson(parent))
                        .set("vlans", vlansJson(vlans.listing, vlans.adapters))
                        .set("change", std::move(change)));
    return exitcode::kDone;
}

}  // namespace kv::kelvactl
