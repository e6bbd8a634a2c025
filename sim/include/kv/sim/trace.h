// The simulated host's trace: every control request, frame, message box, registry write, device
// property change, wait and started program, one line per event. Appended to the file named by
// KELVA_TRACE, flushed per line; kept in memory only where a test asks for the lines
// (keepLines), so that a program running for days does not grow with its trace.
#pragma once

#include <cstdint>
#include <fstream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kv::sim {

class Trace {
public:
    void openFile(const std::string& path);
    // Whether added lines are kept in memory for lines() and linesOf(); off until a test turns it
    // on (Host::install does). Turning it off drops the kept lines.
    void keepLines(bool keep);
    void add(std::string line);
    const std::vector<std::string>& lines() const { return lines_; }
    void clear() { lines_.clear(); }
    // Lines that begin with the given word followed by a blank.
    std::vector<std::string> linesOf(std::string_view kind) const;

    static std::string hex(std::span<const uint8_t> bytes);
    // A number as "0x" and lower-case hexadecimal digits ("0x401").
    static std::string hexNumber(uint64_t value);
    // Newlines as "\n", carriage returns as "\r", so that one event stays on one line.
    static std::string escape(std::string_view text);

private:
    std::vector<std::string> lines_;
    bool keepLines_ = false;
    std::ofstream file_;
};

}  // namespace kv::sim
