// kelvactl green: the green feature's status, or switching it on or off as its page does, saying
// what changed.
#include "commands.h"
#include "failure.h"
#include "invocation.h"
#include "json_facts.h"
#include "kv/jobs/capabilities.h"
#include "kv/jobs/string_table.h"

namespace kv::kelvactl {

namespace {

std::string stateText(const jobs::GreenStatus& status) {
    const auto row = jobs::greenFeatureRow(status.status, status.gigabit);
    if (!row) return "status " + std::to_string(status.status);
    return std::string(jobs::resourceText(row->statusTextId)) + ", " +
           std::string(jobs::resourceText(row->stageTextId));
}

}  // namespace

int runGreen(Invocation& invocation) {
    const auto& arguments = invocation.line().positionals;
    std::optional<bool> switchOn;
    if (arguments.size() > 1) {
        if (arguments[1] != "on" && arguments[1] != "off")
            fail(exitcode::kUsage, "green takes on or off, not \"" + arguments[1] + "\": see kelvactl green --help");
        switchOn = arguments[1] == "on";
    }
    const jobs::ListedAdapter adapter = invocation.adapterArgument(0);
    const jobs::AdapterRecords records = invocation.select(adapter);
    Invocation::require(adapter, records, jobs::pageset::kCableChips, "green feature",
                        "the 4410, 4430, 4440 and 4450 chips have one");
    Output& out = invocation.output();

    JsonValue change;
    if (switchOn) {
        const jobs::GreenStatus before = jobs::readGreenStatus();
        const size_t mark = invocation.messages().mark();
        if (!jobs::switchGreenFeature(*switchOn))
            fail(exitcode::kFaultFound, "the green feature of " + adapterName(adapter) + " was not switched on" +
                                            invocation.messages().saidSince(mark) +
                                            ": it needs a link of 100 Mbps or more");
        change = JsonValue::object().set("switched", *switchOn ? "on" : "off").set("before", greenJson(before));
        out.print(jobs::adapterHeading(adapter) + "\nGreen feature switched " + (*switchOn ? "on" : "off") +
                  " (before: " + stateText(before) + ").\n");
    } else {
        out.print(jobs::adapterHeading(adapter) + "\n");
    }
    const jobs::GreenStatus status = jobs::readGreenStatus();
    out.print(jobs::greenFeatureText(status));
    out.setDocument(JsonValue::object()
                        .set("adapter", adapterJson(adapter))
                        .set("change", std::move(change))
                        .set("status", greenJson(status)));
    return exitcode::kDone;
}

}  // namespace kv::kelvactl
