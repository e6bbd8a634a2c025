// The library as kelvactl uses it: the protocol driver's channel opened once (its service started
// once when the channel does not open at first, as the utility's start does), the adapters listed,
// and the channel closed at the end.
#pragma once

#include <cstdint>
#include <vector>

#include "kv/jobs/adapter_facts.h"

namespace kv::kelvactl {

class LibrarySession {
public:
    // Opens the channel and lists the adapters; Failure (library) when either fails, naming the
    // protocol driver's state.
    static LibrarySession open();
    // The same, but a channel that does not open is no failure: its error is kept and there are
    // no adapters (the support report describes such a computer too).
    static LibrarySession openIfPossible();
    // Failure (library), naming the protocol driver's state, unless the channel opened and the
    // adapters were listed.
    void requireOpen() const;

    LibrarySession(LibrarySession&& other) noexcept;
    LibrarySession& operator=(LibrarySession&&) = delete;
    ~LibrarySession();

    // 0 when the channel opened, else what opening the driver's device answered.
    uint32_t openError() const { return openError_; }
    const std::vector<jobs::ListedAdapter>& adapters() const { return adapters_; }

private:
    LibrarySession() = default;
    bool open_ = false;
    bool listed_ = false;
    uint32_t openError_ = 0;
    std::vector<jobs::ListedAdapter> adapters_;
};

}  // namespace kv::kelvactl
