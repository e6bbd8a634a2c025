#include "kv/sim/file_copy.h"

#include <fstream>
#include <iterator>
#include <system_error>
#include <vector>

#include "kv/platform/types.h"
#include "kv/sim/atomic_file.h"

namespace kv::sim {

uint32_t copyFile(const std::filesystem::path& from, const std::filesystem::path& to, bool failIfExists) {
    namespace err = platform::err;
    std::error_code ec;
    if (from.empty() || !std::filesystem::is_regular_file(from, ec)) return err::kFileNotFound;
    if (to.empty() || !std::filesystem::is_directory(to.parent_path(), ec)) return err::kPathNotFound;
    if (failIfExists && std::filesystem::exists(to, ec)) return err::kFileExists;
    if (std::filesystem::is_directory(to, ec)) return err::kAccessDenied;
    std::ifstream in(from, std::ios::binary);
    const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (!in && !in.eof()) return err::kAccessDenied;
    const FileError error = writeFileAtomically(to, bytes);
    if (!error) return 0;
    return error.kind == FileError::Kind::DiskFull ? err::kDiskFull : err::kAccessDenied;
}

}  // namespace kv::sim
