// kelvactl report: the support report, for one adapter or for all.
#include "adapter_argument.h"
#include "commands.h"
#include "failure.h"
#include "invocation.h"
#include "json_facts.h"
#include "kv/jobs/support_report.h"

namespace kv::kelvactl {

int runReport(Invocation& invocation) {
    LibrarySession session = LibrarySession::openIfPossible();
    std::optional<int> only;
    if (!invocation.line().positionals.empty()) {
        session.requireOpen();
        only = resolveAdapter(invocation.line().positionals[0], session.adapters()).index;
    }
    const jobs::SupportReport report = jobs::gatherSupportReport(session.openError(), only, Invocation::interrupted);
    invocation.output().print(jobs::supportReportText(report));
    invocation.output().setDocument(reportJson(report));
    if (Invocation::interrupted()) return exitcode::kInterrupted;
    if (session.openError() != 0) {
        invocation.output().note("the protocol driver does not open: the report describes the computer only");
        return exitcode::kLibraryFailed;
    }
    return exitcode::kDone;
}

}  // namespace kv::kelvactl
