// The frames the protocol driver holds for the diagnostic protocol on one adapter, oldest first,
// until a read takes them. Bounded like the driver's receive pool: a frame that finds the queue
// full is dropped.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <span>
#include <vector>

namespace kv::sim {

class FrameQueue {
public:
    static constexpr size_t kDefaultLimit = 4096;

    explicit FrameQueue(size_t limit = kDefaultLimit) : limit_(limit) {}
    void setLimit(size_t limit) { limit_ = limit; }

    // False when the queue was full and the frame was dropped.
    bool push(std::vector<uint8_t> frame);
    // Copies the oldest frame into `out` (as much of it as fits) and removes it; the bytes copied.
    std::optional<uint32_t> pop(std::span<uint8_t> out);
    bool empty() const { return frames_.empty(); }
    size_t size() const { return frames_.size(); }
    size_t dropped() const { return dropped_; }

private:
    size_t limit_;
    size_t dropped_ = 0;
    std::deque<std::vector<uint8_t>> frames_;
};

}  // namespace kv::sim
