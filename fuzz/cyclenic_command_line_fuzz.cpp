// Cyclenic64's command line, as the tool reads it: the system's full command line (UTF-16), its
// arguments part, converted to ANSI and parsed. Whatever the line, the result is one of the
// groups, and an accepted OEM id is lower-case, holds no quote and was logged.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "command_line.h"
#include "fuzz_check.h"
#include "kv/text.h"

using kv::fuzz::check;
using namespace kv::cyclenic;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::u16string full = kv::utf8ToUtf16(std::string_view(reinterpret_cast<const char*>(data), size));
    const std::u16string_view arguments = argumentsOf(full);
    check(arguments.size() <= full.size() && full.ends_with(arguments), "the arguments are the end of the line");
    const std::string line = kv::utf16ToAnsi(arguments);
    const ParsedCommandLine parsed = parseCommandLine(line);
    check(parsed.group == kNoGroup || parsed.group == 1 || parsed.group == 2 || parsed.group == 4, "a known group");
    if (parsed.oemIdGiven) {
        check(parsed.oemId.find('"') == std::string::npos, "an OEM id holds no quote");
        for (char c : parsed.oemId) check(c < 'A' || c > 'Z', "an OEM id is lower-case");
        check(std::find(parsed.logLines.begin(), parsed.logLines.end(), parsed.oemId) != parsed.logLines.end(),
              "an accepted OEM id is logged");
    }
    if (!parsed.oemIdGiven && parsed.logLines.empty() && parsed.valid)
        check(line.find_first_not_of(" \t") == std::string::npos || parsed.group != kNoGroup ||
                  line.find('"') != std::string::npos,
              "a valid line without an OEM id holds an option or only ignored tokens");
    return 0;
}
