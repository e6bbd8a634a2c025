// A capture file of the frames on the simulated wire, in the classic pcap format (Ethernet link
// type), so that a run can be opened in any packet analyser. Opened from KELVA_PCAP.
#pragma once

#include <cstdint>
#include <fstream>
#include <span>
#include <string>

namespace kv::sim {

class PcapFile {
public:
    // Creates (truncates) the file and writes the file header.
    void open(const std::string& path);
    void close() { out_.close(); }
    bool isOpen() const { return out_.is_open(); }
    // One frame seen at `simMs` on the machine's clock; stamped with the wall time the file was
    // opened plus the simulated time, so captures of virtual-time runs still read sensibly.
    void write(uint64_t simMs, std::span<const uint8_t> frame);

private:
    std::ofstream out_;
    uint64_t baseUs_ = 0;
};

}  // namespace kv::sim
