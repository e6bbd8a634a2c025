#include "os_version_class.h"

namespace kv::cyclenic {

namespace {

int windows9xClass(uint32_t major, uint32_t minor) {
    if (major < 4 || (major == 4 && minor == 0)) return 7;
    if (major == 4 && minor <= 10) return 6;
    return 5;
}

int ntClass(uint32_t major, uint32_t minor) {
    if (major <= 4) return 4;
    if (major == 5) return minor == 0 ? 3 : 2;
    // 6.1 and later 6.x releases are taken like 6.0: the device installer calls the tool makes
    // are the same there.
    if (major == 6) return 1;
    return kVersionNotAccepted;
}

}  // namespace

int osVersionClass(const platform::OsVersion& version) {
    switch (version.platformId) {
        case platform::kPlatformWindows:
            return windows9xClass(version.majorVersion, version.minorVersion);
        case platform::kPlatformNt:
            return ntClass(version.majorVersion, version.minorVersion);
        default:  // Win32s, and platforms the tool does not know
            return kVersionNotAccepted;
    }
}

platform::OsVersion readSystemVersion() {
    platform::OsVersion version;
    if (platform::system().versionEx(&version)) return version;
    if (platform::system().version(&version)) return version;
    return platform::OsVersion{};
}

}  // namespace kv::cyclenic
