#include "library_session.h"

#include <utility>

#include "failure.h"
#include "kelvalib.h"
#include "kv/jobs/system_facts.h"
#include "kv/platform/system.h"
#include "kv/platform/types.h"
#include "kv/text.h"

namespace kv::kelvactl {

namespace {

// Opens the channel; a driver whose service is installed but stopped is started once first.
uint32_t openChannel() {
    if (API_Open() == 1) return 0;
    API_CheckProtDrvInst();
    if (API_Open() == 1) return 0;
    const uint32_t error = platform::system().lastError();
    return error != 0 ? error : platform::err::kFileNotFound;
}

}  // namespace

LibrarySession LibrarySession::openIfPossible() {
    LibrarySession session;
    session.openError_ = openChannel();
    if (session.openError_ != 0) return session;
    session.open_ = true;
    if (auto adapters = jobs::listAdapters()) {
        session.adapters_ = std::move(*adapters);
        session.listed_ = true;
    }
    return session;
}

LibrarySession LibrarySession::open() {
    LibrarySession session = openIfPossible();
    session.requireOpen();
    return session;
}

void LibrarySession::requireOpen() const {
    if (openError_ != 0) {
        const auto state = jobs::protocolDriverState(jobs::windowsVersion(), openError_);
        const std::string service = utf16ToUtf8(state.service);
        if (!state.installed)
            fail(exitcode::kLibraryFailed, "the protocol driver " + service +
                                               " is not installed: install the suite's protocol driver and try again");
        fail(exitcode::kLibraryFailed, "the protocol driver " + service + " does not open (error " +
                                           std::to_string(openError_) + "): start its service (net start " + service +
                                           ") and try again");
    }
    if (!listed_)
        fail(exitcode::kLibraryFailed,
             "the protocol driver cannot list the adapters: restart its service (net stop, net start) and try again");
}

LibrarySession::LibrarySession(LibrarySession&& other) noexcept
    : open_(std::exchange(other.open_, false)),
      listed_(other.listed_),
      openError_(other.openError_),
      adapters_(std::move(other.adapters_)) {}

LibrarySession::~LibrarySession() {
    if (open_) API_Close();
}

}  // namespace kv::kelvactl
