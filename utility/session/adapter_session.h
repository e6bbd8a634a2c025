// The adapter session: the one road from the window and its pages to the library. The library is
// flat, stateful and single-threaded: it has one current adapter, which every call works on, and
// no locks. The session
//   - owns the selection: the library's current adapter changes only here (select; the VLAN
//     listing of kv/jobs/vlans.h selects through it too);
//   - answers typed queries about the current adapter, each a value or a clear failure, instead of
//     buffers filled behind "== 1" checks;
//   - decides who may use the library now (LibraryHolder): the window's thread, or the worker the
//     window watches. Every entry is checked.
// Plain C++ over Kelvalib, so a command-line front end can share it. Pages may still call exports
// the session has no query for, on the thread that holds the library.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <thread>

#include "kelvalib.h"
#include "kv/jobs/adapter_facts.h"
#include "kv/jobs/statistics.h"
#include "session/library_holder.h"

namespace kv::diag {

using Ipv4Bytes = std::array<uint8_t, 4>;

// The adapter's TCP/IP settings (the library's address mode: 0 static, 1 DHCP).
struct IpSettings {
    int mode = 0;
    Ipv4Bytes address{};
    Ipv4Bytes mask{};
    Ipv4Bytes gateway{};
    Ipv4Bytes dns{};
};

class AdapterSession {
public:
    // Made on the window's thread, which holds the library while no worker does.
    AdapterSession();
    // Closes the library when it is open.
    ~AdapterSession();
    AdapterSession(const AdapterSession&) = delete;
    AdapterSession& operator=(const AdapterSession&) = delete;

    // ---- the library and its adapters ----
    // Closes the library when open, opens it again and lists the adapters; none when the library
    // does not open or the list cannot be read (the library is closed again then).
    std::optional<AdapterList_A> reopen();
    void close();
    bool isOpen() const { return open_; }
    // The driver channel is open (it closes when the adapter goes away).
    bool channelOpen();

    // ---- the selection ----
    // Makes the adapter the library's current one; false when the library refuses.
    bool select(int index);

    // ---- typed queries about the current adapter ----
    std::optional<AdapterInfo> adapterInfo();
    // The record starts cleared: the library writes only the fields it can read.
    std::optional<DriverInfo_A> driverInfo();
    // A byte of the adapter's register window.
    std::optional<uint8_t> registerByte(uint16_t offset);
    // The General page's queries, read as the command line reads them (kv/jobs/adapter_facts.h):
    // the addresses an adapter of the chip class shows, and the link.
    jobs::AddressFacts addresses(uint32_t chipClass);
    jobs::LinkFacts link();
    std::optional<IpSettings> ipSettings();
    // A driver counter (kv/jobs/statistics.h).
    std::optional<jobs::OidValue> counter(uint32_t oid);

    // ---- who may use the library now ----
    // A worker takes the library for its run, and gives it back when it ends (or the window takes
    // it back). The window is busy meanwhile. The window's thread only.
    void lendTo(std::thread::id worker) { holder_.lendTo(worker); }
    void takeBack() { holder_.takeBack(); }
    bool busy() const { return holder_.busy(); }
    const LibraryHolder& holder() const { return holder_; }

private:
    bool admit(const char* entry) const { return holder_.admit(entry); }

    LibraryHolder holder_;
    bool open_ = false;
};

}  // namespace kv::diag
