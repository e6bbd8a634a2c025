// kelvactl list: every adapter the library lists, each selected in turn for its address, chip and
// link.
#include "commands.h"
#include "failure.h"
#include "invocation.h"
#include "json_facts.h"
#include "kv/jobs/adapter_text.h"
#include "kv/jobs/chip_kind.h"
#include "kv/jobs/ethernet_address.h"
#include "kv/jobs/text_layout.h"

namespace kv::kelvactl {

namespace {

struct ListRow {
    jobs::ListedAdapter adapter;
    std::optional<AdapterInfo> info;  // none when the adapter does not answer
    jobs::LinkFacts link;
};

ListRow readRow(const jobs::ListedAdapter& adapter) {
    ListRow row{adapter, std::nullopt, {}};
    AdapterInfo info{};
    if (API_SetCurrAdaptIdx(adapter.index) != 1 || API_GetAdapterInfo(&info) != 1) return row;
    row.info = info;
    row.link = jobs::readLink();
    return row;
}

std::string chipOf(const AdapterInfo& info) { return jobs::chipName(info.DeviceId); }

}  // namespace

int runList(Invocation& invocation) {
    std::vector<ListRow> rows;
    for (const auto& adapter : invocation.library().adapters()) rows.push_back(readRow(adapter));

    if (invocation.output().json()) {
        JsonValue adapters = JsonValue::array();
        for (const ListRow& row : rows) {
            JsonValue entry = adapterJson(row.adapter);
            const std::string chip = row.info ? chipOf(*row.info) : std::string();
            entry.set("answers", row.info.has_value())
                .set("mac", row.info ? JsonValue(jobs::ethernetAddressText(row.info->MacAddress)) : JsonValue())
                .set("chip", chip.empty() ? JsonValue() : JsonValue(chip))
                .set("link", row.info ? linkJson(row.link) : JsonValue());
            adapters.push(std::move(entry));
        }
        invocation.output().setDocument(JsonValue::object().set("adapters", std::move(adapters)));
        return exitcode::kDone;
    }
    std::vector<std::vector<std::string>> table = {{"#", "Ethernet address", "Chip", "Link", "Parent", "Description"}};
    for (const ListRow& row : rows) {
        const std::string chip = row.info ? chipOf(*row.info) : std::string();
        table.push_back({std::to_string(row.adapter.index),
                         row.info ? jobs::ethernetAddressText(row.info->MacAddress) : "(does not answer)",
                         chip.empty() ? "-" : chip, row.info ? jobs::linkText(row.link) : "-",
                         row.adapter.parentIndex >= 0 ? std::to_string(row.adapter.parentIndex) : "-",
                         row.adapter.description});
    }
    invocation.output().print(rows.empty() ? "The protocol driver lists no adapter.\n" : jobs::tableText(table));
    return exitcode::kDone;
}

}  // namespace kv::kelvactl
