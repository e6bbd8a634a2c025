#include "app/driver_preparation.h"

#include "kelvalib.h"
#include "kv/platform/processes.h"
#include "kv/platform/system.h"

namespace kv::diag {

namespace {

void startHidden(std::u16string_view file, std::u16string_view parameters) {
    platform::processes().start({.file = file, .parameters = parameters, .hidden = true, .wait = false});
}

}  // namespace

void prepareOlderProtocolDriver() {
    platform::OsVersion version;
    if (!platform::system().version(&version) || version.majorVersion != 5) return;
    if (version.minorVersion >= 2) startHidden(u"Plantdrv64.exe", u"");
    for (int attempt = 0; attempt < kDriverStartAttempts; ++attempt) {
        startHidden(u"NET", u"START NPROBE");
        if (API_CheckProtDrvInst() == 0) platform::clock().sleep(kDriverStartWaitMs);
    }
}

}  // namespace kv::diag
