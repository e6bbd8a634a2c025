#include "kv/sim/atomic_file.h"

#include <filesystem>
#include <fstream>
#include <system_error>

namespace kv::sim {

bool writeFileAtomically(const std::string& path, std::span<const uint8_t> bytes) {
    try {
        const std::filesystem::path target(path);
        const std::filesystem::path temp(path + ".tmp");
        std::error_code ec;
        {
            std::ofstream out(temp, std::ios::binary | std::ios::trunc);
            if (!out) return false;
            out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
            out.flush();
            out.close();
            if (!out) {
                std::filesystem::remove(temp, ec);
                return false;
            }
        }
        // rename replaces an existing target in one step, on POSIX and in the Windows implementation.
        std::filesystem::rename(temp, target, ec);
        if (ec) {
            std::error_code ignored;
            std::filesystem::remove(temp, ignored);
            return false;
        }
        return true;
    } catch (...) {
        return false;  // allocation failure while building paths
    }
}

}  // namespace kv::sim
