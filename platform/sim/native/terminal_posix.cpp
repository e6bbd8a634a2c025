// The simulated host's terminal on a POSIX system: the arguments are UTF-8 already, a terminal is
// what isatty says, and SIGINT and SIGTERM set the interrupt flag once.
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cstring>

#include "kv/platform/terminal.h"

namespace kv::platform {

namespace {

std::atomic<int> gInterrupts{0};
const char* gNotice = "";

// Only async-signal-safe calls here. The first signal is taken; the handler then gives the signal
// back to its default action, so the next one ends the process.
void onSignal(int signal) {
    if (gInterrupts.fetch_add(1) == 0) {
        const ssize_t ignored = ::write(STDERR_FILENO, gNotice, std::strlen(gNotice));
        (void)ignored;
    }
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    sigaction(signal, &action, nullptr);
}

}  // namespace

std::vector<std::string> programArguments(int argc, char** argv) {
    std::vector<std::string> out;
    for (int i = 1; i < argc; ++i) out.emplace_back(argv[i]);
    return out;
}

bool standardErrorIsTerminal() { return ::isatty(STDERR_FILENO) == 1; }

void useUtf8Console() {}

void catchInterrupts(const char* notice) {
    gNotice = notice;
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

bool interrupted() { return gInterrupts.load() > 0; }

}  // namespace kv::platform
