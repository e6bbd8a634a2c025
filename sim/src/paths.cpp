#include "kv/sim/paths.h"

#include <system_error>

#include "kv/sim/host.h"
#include "kv/text.h"

namespace kv::sim {

namespace {

// The entry of `dir` whose name equals `name` ignoring case, or `name` itself.
std::filesystem::path matchEntry(const std::filesystem::path& dir, const std::u16string& name) {
    std::error_code ec;
    if (std::filesystem::exists(dir / utf16ToUtf8(name), ec)) return dir / utf16ToUtf8(name);
    for (const auto& entry : std::filesystem::directory_iterator(dir, ec)) {
        if (equalsIgnoreCase(utf8ToUtf16(entry.path().filename().string()), name)) return entry.path();
    }
    return dir / utf16ToUtf8(name);
}

// Whether `path` lies in the real current directory `cwd` as currentDirectory() hands it out. On
// a Windows host such a path looks like one of the simulated machine's drive, and must not be
// taken for one.
bool insideCurrentDirectory(const std::u16string& path, const std::u16string& cwd) {
    if (cwd.empty() || path.size() < cwd.size() || !equalsIgnoreCase(path.substr(0, cwd.size()), cwd)) return false;
    const auto separator = [](char16_t c) { return c == u'\\' || c == u'/'; };
    return path.size() == cwd.size() || separator(cwd.back()) || separator(path[cwd.size()]);
}

}  // namespace

std::filesystem::path resolveWindowsPath(std::u16string_view windowsPath) {
    std::u16string path(windowsPath);
    std::filesystem::path base;
    size_t pos = 0;
    std::error_code ec;
    const std::filesystem::path cwd = std::filesystem::current_path(ec);
    const std::u16string cwdText = ec ? std::u16string() : utf8ToUtf16(cwd.string());
    if (insideCurrentDirectory(path, cwdText)) {
        base = cwd;
        pos = cwdText.size();
    } else if (path.size() >= 2 && path[1] == u':' &&
               ((path[0] >= u'A' && path[0] <= u'Z') || (path[0] >= u'a' && path[0] <= u'z'))) {
        const auto& dir = Host::get().machine().directory;
        if (dir.empty()) return {};
        base = dir / std::string(1, static_cast<char>(path[0] & ~0x20));
        pos = 2;
    } else if (!path.empty() && path[0] == u'/') {
        base = "/";  // a host path handed back by currentDirectory()
        pos = 1;
    } else {
        base = cwd;
    }
    std::filesystem::path result = base;
    while (pos <= path.size()) {
        size_t end = path.find_first_of(u"\\/", pos);
        if (end == std::u16string::npos) end = path.size();
        const std::u16string part = path.substr(pos, end - pos);
        if (part == u"..") {
            result = result.parent_path();
        } else if (!part.empty() && part != u".") {
            result = matchEntry(result, part);
        }
        pos = end + 1;
    }
    return result;
}

}  // namespace kv::sim
