// One adapter being captured: its machine.json object as it grows, the log lines naming it, and
// the commands that failed on it (replayed as failing commands, so the replay fails alike).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "capture_log.h"
#include "json_text.h"

namespace kv::capture {

class AdapterContext {
public:
    AdapterContext(int index, CaptureLog& log) : index_(index), log_(log) {}

    int index() const { return index_; }
    JsonValue& json() { return json_; }
    // A read whose driver command failed: logged, and the command kept as failing.
    void failed(std::string_view what, uint32_t command);
    // A read left out for another reason.
    void skipped(std::string_view what, std::string_view why);
    void note(std::string_view line);
    // The miniport's supported list names none of the maker's private commands.
    void setPrivateCommandsUnlisted() { privateCommandsUnlisted_ = true; }
    // The link speed the driver reported, in Mbit/s (0 when it did not answer).
    void setLinkSpeed(uint32_t mbps) { linkSpeedMbps_ = mbps; }
    uint32_t linkSpeed() const { return linkSpeedMbps_; }
    // The failed commands as faults, once the reads are done: "faults.noPrivateCommands" for a
    // miniport that lists no private command and failed them, else "faults.failingOids".
    void recordFailures();

private:
    std::string label(std::string_view what) const;

    int index_;
    CaptureLog& log_;
    JsonValue json_ = JsonValue::object();
    std::vector<uint32_t> failedCommands_;
    bool privateCommandsUnlisted_ = false;
    uint32_t linkSpeedMbps_ = 0;
};

}  // namespace kv::capture
