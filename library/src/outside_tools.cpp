#include "outside_tools.h"

#include "kv/platform/files.h"
#include "kv/platform/processes.h"
#include "kv/platform/system.h"
#include "kv/text.h"

namespace kv::lib {

namespace {

constexpr int kCheckAttempts = 20;
constexpr uint32_t kPollMs = 1000;
constexpr uint32_t kCheckPauseMs = 500;
constexpr size_t kStateChars = 9;

bool completed() { return platform::files().open(kCompletedFile, platform::FileMode::Read) != nullptr; }

std::string readState() {
    auto file = platform::files().open(kStateFile, platform::FileMode::Read);
    return file ? file->read(kStateChars) : std::string();
}

}  // namespace

bool startHidden(std::u16string_view program, std::u16string_view parameters, std::u16string_view verb) {
    platform::StartRequest request;
    request.verb = verb;
    request.file = program;
    request.parameters = parameters;
    request.hidden = true;
    request.wait = false;
    return platform::processes().start(request);
}

bool waitForCompletion(int retries) {
    if (completed()) return true;
    for (int i = 0; i < retries; ++i) {
        platform::clock().sleep(kPollMs);
        if (completed()) return true;
    }
    return false;
}

bool runTool(std::u16string_view program, std::u16string_view parameters, int retries, std::u16string_view verb) {
    platform::files().remove(kCompletedFile);
    // A tool that cannot be started is waited for like one that never finishes: the waits are
    // part of the timing callers rely on.
    startHidden(program, parameters, verb);
    return waitForCompletion(retries);
}

std::string checkBinding(std::string_view checkLine, const std::function<bool(std::string_view)>& done) {
    const std::u16string parameters = ansiToUtf16(checkLine);
    std::string state;
    for (int attempt = 0; attempt < kCheckAttempts; ++attempt) {
        runTool(kBindingTool, parameters, kBindingRetries);
        state = readState();
        if (done(state)) return state;
        platform::clock().sleep(kCheckPauseMs);
    }
    return state;
}

}  // namespace kv::lib
