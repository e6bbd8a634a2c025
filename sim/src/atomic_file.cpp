#include "kv/sim/atomic_file.h"

#include <atomic>
#include <mutex>
#include <string>
#include <system_error>

#include "kv/sim/file_stamp.h"
#include "native/file_system.h"

namespace kv::sim {

namespace {

constexpr char kTemporarySuffix[] = ".tmp";

std::mutex& hookMutex() {
    static std::mutex m;
    return m;
}

WriteFaultHook& hook() {
    static WriteFaultHook h;
    return h;
}

std::optional<WriteFault> injectedFault(const std::filesystem::path& target) {
    std::lock_guard lock(hookMutex());
    return hook() ? hook()(target) : std::nullopt;
}

// "<name>.<process>-<n>.tmp": unique to this process and, by the counter, to each of its writes.
std::filesystem::path temporaryName(const std::filesystem::path& target) {
    static std::atomic<uint64_t> counter{0};
    const std::string name = target.filename().string() + "." + std::to_string(native::currentProcessId()) + "-" +
                             std::to_string(counter.fetch_add(1)) + kTemporarySuffix;
    return target.parent_path() / name;
}

FileError writeTemporary(const std::filesystem::path& temp, const std::filesystem::path& target,
                         std::span<const uint8_t> bytes) {
    const std::optional<WriteFault> fault = injectedFault(target);
    if (fault && !fault->bytesWritten) return fault->error;
    FileError error;
    auto file = native::createNewFile(temp, &error);
    if (!file) return error;
    if (fault) {
        (void)file->write(bytes.first(std::min(*fault->bytesWritten, bytes.size())));
        return fault->error;
    }
    if ((error = file->write(bytes))) return error;
    return file->flush();
}

}  // namespace

FileError writeFileAtomically(const std::filesystem::path& path, std::span<const uint8_t> bytes) {
    try {
        const std::filesystem::path temp = temporaryName(path);
        FileError error = writeTemporary(temp, path, bytes);
        if (!error) error = native::replaceFile(temp, path);
        if (error) {
            std::error_code ignored;
            std::filesystem::remove(temp, ignored);
        }
        return error;
    } catch (const std::exception& e) {
        return FileError{FileError::Kind::Other, 0, e.what()};  // allocation failure while building paths
    }
}

void removeStrayTemporaries(const std::filesystem::path& path) {
    const std::string prefix = path.filename().string() + ".";
    std::error_code ec;
    std::filesystem::directory_iterator it(path.parent_path(), ec);
    for (; !ec && it != std::filesystem::directory_iterator(); it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.size() > prefix.size() && name.compare(0, prefix.size(), prefix) == 0 &&
            name.ends_with(kTemporarySuffix)) {
            std::error_code ignored;
            std::filesystem::remove(it->path(), ignored);
        }
    }
}

FileStamp fileStampOf(const std::filesystem::path& path) { return native::stampOf(path); }

void setWriteFaultHook(WriteFaultHook h) {
    std::lock_guard lock(hookMutex());
    hook() = std::move(h);
}

}  // namespace kv::sim
