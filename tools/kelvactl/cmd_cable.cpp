// kelvactl cable: the Cable page's analysis, each pair's state and the distance to its fault, or
// the cable's length with link.
#include "commands.h"
#include "failure.h"
#include "invocation.h"
#include "json_facts.h"
#include "kelvalib.h"
#include "kv/jobs/cable.h"
#include "kv/jobs/capabilities.h"
#include "kv/jobs/string_table.h"
#include "kv/jobs/text_layout.h"

namespace kv::kelvactl {

namespace {

// The JSON name of a pair's state.
const char* stateKey(jobs::PairState state) {
    switch (state) {
        case jobs::PairState::Normal:
            return "normal";
        case jobs::PairState::Short:
            return "short";
        case jobs::PairState::Open:
            return "open";
        case jobs::PairState::OtherFault:
            break;
    }
    return "other";
}

// As the Cable page says it; another fault pattern, which has no text there, said as such.
std::string stateText(jobs::PairState state) {
    const int id = jobs::pairStateTextId(state);
    return id ? jobs::resourceText(id) : std::string("Other fault");
}

}  // namespace

int runCable(Invocation& invocation) {
    const jobs::ListedAdapter adapter = invocation.adapterArgument(0);
    const jobs::AdapterRecords records = invocation.select(adapter);
    Invocation::require(adapter, records, jobs::pageset::kCableChips, "cable analysis",
                        "the 4410, 4430, 4440 and 4450 chips have one");
    if (!invocation.output().json())
        invocation.output().print(jobs::adapterHeading(adapter) +
                                  "\nAnalysing the cable (the link drops for some seconds)...\n");
    const bool withLink = API_IsLink() != 0;
    // A pair without a fault gets no length from the analysis: it stays unknown.
    jobs::CableResult result{};
    for (int pair = 0; pair < jobs::kCablePairs; ++pair) result[jobs::kCablePairs + pair] = -1;
    const size_t mark = invocation.messages().mark();
    if (!jobs::analyseCable(result))
        fail(exitcode::kLibraryFailed, adapterName(adapter) + " did not answer the analysis" +
                                           invocation.messages().saidSince(mark) +
                                           ": its driver has been reloaded; run kelvactl cable again");

    bool fault = false;
    JsonValue pairs = JsonValue::array();
    using namespace jobs::ids::cable;
    std::vector<std::vector<std::string>> rows = {
        {jobs::resourceText(kPairColumn), jobs::resourceText(kLengthColumn), jobs::resourceText(kStatusColumn)}};
    for (int pair = 0; pair < jobs::kCablePairs; ++pair) {
        const int32_t status = result[pair];
        const int32_t length = result[jobs::kCablePairs + pair];
        const jobs::PairState state = jobs::pairState(status);
        fault = fault || state != jobs::PairState::Normal;
        const std::string name(jobs::cablePairName(pair));
        rows.push_back(
            {name, length >= 0 ? std::to_string(length) : jobs::resourceText(kUnknownLength), stateText(state)});
        pairs.push(JsonValue::object()
                       .set("pair", name)
                       .set("status", stateKey(state))
                       .set("status_code", status)
                       .set("length_m", length >= 0 ? JsonValue(length) : JsonValue()));
    }
    invocation.output().print(jobs::tableText(rows) +
                              (withLink ? "The cable has link: the lengths are its length.\n" : "") +
                              (fault ? "The cable has a fault.\n" : "The cable has no fault.\n"));
    invocation.output().setDocument(JsonValue::object()
                                        .set("adapter", adapterJson(adapter))
                                        .set("link", withLink)
                                        .set("pairs", std::move(pairs))
                                        .set("fault", fault));
    return fault ? exitcode::kFaultFound : exitcode::kDone;
}

}  // namespace kv::kelvactl
