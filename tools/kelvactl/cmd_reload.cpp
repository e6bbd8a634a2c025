// kelvactl reload: the adapter's driver disabled and enabled again.
#include "commands.h"
#include "failure.h"
#include "invocation.h"
#include "json_facts.h"
#include "kelvalib.h"

namespace kv::kelvactl {

int runReload(Invocation& invocation) {
    const jobs::ListedAdapter adapter = invocation.adapterArgument(0);
    invocation.select(adapter);
    const size_t mark = invocation.messages().mark();
    if (API_ReloadMiniport() != 1)
        fail(exitcode::kLibraryFailed, "the driver of " + adapterName(adapter) + " was not reloaded" +
                                           invocation.messages().saidSince(mark) +
                                           ": the adapter enable/disable tool did not finish in time; check that "
                                           "nicctlv6.exe is in the current directory");
    invocation.output().print("Driver of " + adapterName(adapter) + " reloaded.\n");
    invocation.output().setDocument(JsonValue::object().set("adapter", adapterJson(adapter)).set("reloaded", true));
    return exitcode::kDone;
}

}  // namespace kv::kelvactl
