// Driver INF files: the reader on any bytes (UTF-16LE, UTF-8 with its byte order mark, 8-bit
// ANSI), then a walk over every section, line and field as the driver information reads them.
#include <cstddef>
#include <cstdint>
#include <span>

#include "fuzz_check.h"
#include "kv/sim/inf_file.h"
#include "kv/text.h"

using kv::fuzz::check;
using namespace kv::sim;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const InfFile inf = InfFile::parseBytes(std::span<const uint8_t>(data, size));
    for (const auto& name : inf.sectionNames()) {
        const auto* lines = inf.section(name);
        check(lines != nullptr, "every listed section can be found by its name");
        for (const InfLine& line : *lines) {
            check(line.field(0) == (line.key ? line.key : line.field(1)), "field 0 is the key, else the first value");
            for (size_t i = 1; i <= line.fieldCount(); ++i)
                check(line.field(i) == line.fields[i - 1], "field i is the i-th value");
            check(!line.field(line.fieldCount() + 1), "no field past the last value");
            if (!line.key) continue;
            const InfLine* found = inf.findLine(name, *line.key);
            check(found && found->key && kv::equalsIgnoreCase(*found->key, *line.key), "a line is found by its key");
        }
    }
    return 0;
}
