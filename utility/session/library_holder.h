// Who may use the library now. The library keeps its channel, its current adapter and its tables
// in plain process-wide variables, without locks: one thread at a time may be inside it. That is
// the window's thread, except while a worker the window watches has taken the library for its run
// (the window is busy then and keeps the user away from everything that would call the library).
//
// Every entry through the adapter session asks the holder first. An entry from any other thread is
// an intrusion: with KELVA_STRICT set (the tests) the process ends with a message naming both
// threads; otherwise the message goes to standard error and the entry is refused.
#pragma once

#include <atomic>
#include <functional>
#include <string>
#include <thread>

namespace kv::diag {

class LibraryHolder {
public:
    // The library belongs to the constructing thread (the window's) while no worker holds it.
    LibraryHolder();

    // A worker takes the library for its run. Only the window's thread lends and takes back.
    void lendTo(std::thread::id worker);
    // The worker gave it back (it has ended), or the window took it back.
    void takeBack();
    // A worker holds the library: the window is busy.
    bool busy() const;

    // True when the calling thread may enter the library now; otherwise the intrusion is reported.
    bool admit(const char* entry) const;

    // Where intrusions go. Null: the default (end the process under KELVA_STRICT, else standard
    // error). Tests record them.
    using IntrusionHandler = std::function<void(const std::string& message)>;
    static void setIntrusionHandler(IntrusionHandler handler);

private:
    std::string describe(std::thread::id thread) const;

    const std::thread::id windowThread_;
    std::atomic<std::thread::id> holder_;
};

}  // namespace kv::diag
