#include "inf_copy.h"

#include <algorithm>
#include <set>

#include "kv/platform/files.h"
#include "kv/platform/system.h"
#include "kv/text.h"
#include "registry_values.h"

namespace kv::capture {

namespace {

// Every "InfPath" value under the class key, each once, ignoring case.
std::vector<std::u16string> infPaths() {
    std::vector<std::u16string> paths;
    const platform::RegKey classKey = openMachineKey(kNetClassKey);
    std::u16string name;
    for (uint32_t i = 0; classKey.valid() && platform::registry().enumKey(classKey.get(), i, &name) == 0; ++i) {
        const platform::RegKey key = openMachineKey(std::u16string(kNetClassKey) + u"\\" + name);
        const auto path = key.valid() ? readString(key.get(), u"InfPath") : std::nullopt;
        if (!path || path->empty()) continue;
        const bool known = std::any_of(paths.begin(), paths.end(),
                                       [&](const std::u16string& p) { return equalsIgnoreCase(p, *path); });
        if (!known) paths.push_back(*path);
    }
    return paths;
}

bool isAbsolute(std::u16string_view path) { return path.size() > 2 && path[1] == u':' && path[2] == u'\\'; }

}  // namespace

void copyInfFiles(OutputDirectory& out, CaptureLog& log) {
    const std::u16string infDirectory = platform::files().windowsDirectory() + u"\\INF\\";
    for (const auto& infPath : infPaths()) {
        const std::u16string source = isAbsolute(infPath) ? infPath : infDirectory + infPath;
        // "X:\dir\file.inf" lies at X\dir\file.inf in the machine directory.
        const std::u16string target =
            isAbsolute(infPath) ? infPath.substr(0, 1) + infPath.substr(2) : u"C\\WINDOWS\\INF\\" + infPath;
        const std::u16string folder = target.substr(0, target.rfind(u'\\'));
        const std::string what = "INF file " + utf16ToUtf8(source);
        if (infPath.find(u"..") != std::u16string::npos) {
            log.skipped(what, "its path leaves the machine directory");
            continue;
        }
        if (!out.make(folder)) {
            log.skipped(what, "the folder " + utf16ToUtf8(out.path(folder)) + " cannot be made");
            continue;
        }
        if (!platform::files().copy(source, out.path(target), false))
            log.skipped(what, "it cannot be copied, error " + std::to_string(platform::system().lastError()));
    }
}

}  // namespace kv::capture
