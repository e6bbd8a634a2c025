#include <fstream>
#include <iterator>

#include "command_line.h"
#include "kv/text.h"

namespace kv::platform::native {

std::u16string processCommandLine() {
    std::ifstream in("/proc/self/cmdline", std::ios::binary);
    const std::string raw((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::string line;
    size_t start = 0;
    for (size_t n = 0; start < raw.size(); ++n) {
        size_t end = raw.find('\0', start);
        if (end == std::string::npos) end = raw.size();
        std::string argument = raw.substr(start, end - start);
        if (n == 0 && argument.find_first_of(" \t") != std::string::npos) argument = '"' + argument + '"';
        if (n > 0) line += ' ';
        line += argument;
        start = end + 1;
    }
    return utf8ToUtf16(line);
}

}  // namespace kv::platform::native
