#include "kv/sim/frame_queue.h"

#include <algorithm>

namespace kv::sim {

bool FrameQueue::push(std::vector<uint8_t> frame) {
    if (frames_.size() >= limit_) {
        ++dropped_;
        return false;
    }
    frames_.push_back(std::move(frame));
    return true;
}

std::optional<uint32_t> FrameQueue::pop(std::span<uint8_t> out) {
    if (frames_.empty()) return std::nullopt;
    const auto& frame = frames_.front();
    const size_t n = std::min(frame.size(), out.size());
    std::copy_n(frame.begin(), n, out.begin());
    frames_.pop_front();
    return static_cast<uint32_t>(n);
}

}  // namespace kv::sim
