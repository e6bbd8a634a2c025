// Files on the simulated machine: real files, with Windows paths mapped by resolveWindowsPath.
#include "kv/platform/files.h"

#include <cstdio>
#include <system_error>

#include "../shared/c_stream_text_file.h"
#include "kv/platform/types.h"
#include "kv/sim/file_copy.h"
#include "kv/sim/host.h"
#include "kv/sim/paths.h"
#include "kv/text.h"

namespace kv::platform {

namespace {

using sim::Host;

class SimFiles : public Files {
public:
    std::unique_ptr<TextFile> open(std::u16string_view path, FileMode mode) override {
        Host::Call call(Host::get());
        const auto real = sim::resolveWindowsPath(path);
        const char* how = mode == FileMode::Read ? "rb" : mode == FileMode::Append ? "ab" : "wb";
        std::FILE* f = real.empty() ? nullptr : std::fopen(real.string().c_str(), how);
        if (!f) {
            Host::setLastError(mode == FileMode::Read ? err::kFileNotFound : err::kAccessDenied);
            return nullptr;
        }
        return std::make_unique<CStreamTextFile>(f);
    }

    bool exists(std::u16string_view path) override {
        Host::Call call(Host::get());
        std::error_code ec;
        const auto real = sim::resolveWindowsPath(path);
        return !real.empty() && std::filesystem::is_regular_file(real, ec);
    }

    bool remove(std::u16string_view path) override {
        Host::Call call(Host::get());
        std::error_code ec;
        const auto real = sim::resolveWindowsPath(path);
        if (real.empty() || !std::filesystem::is_regular_file(real, ec) || !std::filesystem::remove(real, ec)) {
            Host::setLastError(err::kFileNotFound);
            return false;
        }
        return true;
    }

    bool copy(std::u16string_view from, std::u16string_view to, bool failIfExists) override {
        Host::Call call(Host::get());
        const uint32_t error = sim::copyFile(sim::resolveWindowsPath(from), sim::resolveWindowsPath(to), failIfExists);
        call.host.trace().add("copy " + utf16ToUtf8(from) + " " + utf16ToUtf8(to) + " " +
                              (error ? "err=" + std::to_string(error) : std::string("ok")));
        if (error) Host::setLastError(error);
        return error == 0;
    }

    std::u16string currentDirectory() override {
        std::error_code ec;
        const auto cwd = std::filesystem::current_path(ec);
        return ec ? std::u16string() : utf8ToUtf16(cwd.string());
    }

    // A Windows path of the machine ("C:\\Program Files\\...") becomes the process's real current
    // directory, where the relative paths of the suite then lie. Traced as "chdir <path> ok|err=n".
    bool setCurrentDirectory(std::u16string_view path) override {
        Host::Call call(Host::get());
        std::error_code ec;
        const auto real = sim::resolveWindowsPath(path);
        const bool changed =
            !real.empty() && std::filesystem::is_directory(real, ec) && (std::filesystem::current_path(real, ec), !ec);
        call.host.trace().add("chdir " + sim::Trace::escape(utf16ToUtf8(path)) +
                              (changed ? " ok" : " err=" + std::to_string(err::kPathNotFound)));
        if (!changed) Host::setLastError(err::kPathNotFound);
        return changed;
    }

    std::u16string windowsDirectory() override { return u"C:\\WINDOWS"; }
};

}  // namespace

Files& files() {
    static SimFiles instance;
    return instance;
}

}  // namespace kv::platform
