#include "kv/jobs/driver_version.h"

#include <optional>

#include "kv/jobs/chip_kind.h"
#include "kv/jobs/library_text.h"

namespace kv::jobs {

namespace {

std::optional<int32_t> secondNumber(std::string_view version) {
    if (!takeDecimal(version)) return std::nullopt;
    if (version.empty() || version.front() != '.') return std::nullopt;
    version.remove_prefix(1);
    return takeDecimal(version);
}

}  // namespace

int driverVersionNumber(uint8_t chipFlags, std::string_view version) {
    if ((chipFlags & chipkind::kVersioned) == 0 || (chipFlags & chipkind::kNoPages) != 0) return kUnknownDriverVersion;
    if (version.empty()) return kEmptyVersionNumber;
    return secondNumber(version).value_or(kUnknownDriverVersion);
}

}  // namespace kv::jobs
