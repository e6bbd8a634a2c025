#include "kv/sim/file_copy.h"

#include <system_error>

#include "kv/platform/types.h"

namespace kv::sim {

namespace {

// Copies over an existing target by removing it first: copy_file's overwrite_existing cannot be
// relied on (libstdc++ on Windows reports any existing target as existing).
bool replaceFile(const std::filesystem::path& from, const std::filesystem::path& to) {
    std::error_code ec;
    if (std::filesystem::exists(to, ec) && !std::filesystem::remove(to, ec)) return false;
    return std::filesystem::copy_file(from, to, ec);
}

}  // namespace

uint32_t copyFile(const std::filesystem::path& from, const std::filesystem::path& to, bool failIfExists) {
    namespace err = platform::err;
    std::error_code ec;
    if (from.empty() || !std::filesystem::is_regular_file(from, ec)) return err::kFileNotFound;
    if (to.empty() || !std::filesystem::is_directory(to.parent_path(), ec)) return err::kPathNotFound;
    if (failIfExists && std::filesystem::exists(to, ec)) return err::kFileExists;
    if (!replaceFile(from, to)) return err::kAccessDenied;
    return 0;
}

}  // namespace kv::sim
