// Starting programs on the simulated host: every start is traced as "start <file> <parameters>",
// followed by "startmode <file> hidden|shown wait|nowait", and handed to the simulated program of that file name, which
// acts on the machine and writes its files into the current directory on the timeline. A file the machine has no
// program for fails to start with ERROR_FILE_NOT_FOUND.
#include "kv/platform/processes.h"

#include <system_error>

#include "kv/platform/types.h"
#include "kv/sim/host.h"
#include "kv/sim/programs.h"
#include "kv/text.h"

namespace kv::platform {

namespace {

using sim::Host;

class SimProcesses : public Processes {
public:
    bool start(const StartRequest& request, uint32_t* exitCode) override {
        sim::ProgramExit exit;
        {
            Host::Call call(Host::get());
            call.host.trace().add("start " + sim::Trace::escape(utf16ToUtf8(request.file)) + " " +
                                  sim::Trace::escape(utf16ToUtf8(request.parameters)));
            call.host.trace().add("startmode " + sim::Trace::escape(utf16ToUtf8(request.file)) +
                                  (request.hidden ? " hidden" : " shown") + (request.wait ? " wait" : " nowait"));
            const sim::Program program = sim::findProgram(request.file);
            if (!program) {
                Host::setLastError(err::kFileNotFound);
                return false;
            }
            std::error_code ec;
            sim::ProgramRun run{call.host, utf16ToUtf8(request.file), sim::splitParameters(request.parameters),
                                std::filesystem::current_path(ec)};
            exit = program(run);
        }
        if (request.wait) {
            // The program ends after its run time; let that time pass outside the host's lock.
            Host::get().passTime(exit.runMs);
            if (exitCode) *exitCode = exit.exitCode;
        }
        return true;
    }
};

}  // namespace

Processes& processes() {
    static SimProcesses instance;
    return instance;
}

}  // namespace kv::platform
