// kelvactl info: what the General and Driver pages show of one adapter.
#include "commands.h"
#include "failure.h"
#include "invocation.h"
#include "json_facts.h"

namespace kv::kelvactl {

int runInfo(Invocation& invocation) {
    const jobs::ListedAdapter adapter = invocation.adapterArgument(0);
    const jobs::AdapterDetails details = jobs::detailsOf(adapter, invocation.select(adapter));
    if (invocation.output().json())
        invocation.output().setDocument(detailsJson(details));
    else
        invocation.output().print(jobs::adapterDetailsText(details));
    return exitcode::kDone;
}

}  // namespace kv::kelvactl
