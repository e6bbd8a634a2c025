#include "session/library_holder.h"

#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <sstream>

#include "kv/strict_checks.h"

namespace kv::diag {

namespace {

std::mutex& handlerMutex() {
    static std::mutex mutex;
    return mutex;
}

LibraryHolder::IntrusionHandler& installedHandler() {
    static LibraryHolder::IntrusionHandler handler;
    return handler;
}

void reportIntrusion(const std::string& message) {
    LibraryHolder::IntrusionHandler handler;
    {
        const std::lock_guard lock(handlerMutex());
        handler = installedHandler();
    }
    if (handler) {
        handler(message);
        return;
    }
    std::fprintf(stderr, "%s\n", message.c_str());
    if (strictChecks()) std::abort();
}

}  // namespace

LibraryHolder::LibraryHolder() : windowThread_(std::this_thread::get_id()), holder_(windowThread_) {}

void LibraryHolder::lendTo(std::thread::id worker) { holder_.store(worker); }

void LibraryHolder::takeBack() { holder_.store(windowThread_); }

bool LibraryHolder::busy() const { return holder_.load() != windowThread_; }

bool LibraryHolder::admit(const char* entry) const {
    const std::thread::id caller = std::this_thread::get_id();
    const std::thread::id holder = holder_.load();
    if (caller == holder) return true;
    reportIntrusion(std::string("Kelvalib entered (") + entry + ") by " + describe(caller) + " while " +
                    describe(holder) + " holds it");
    return false;
}

void LibraryHolder::setIntrusionHandler(IntrusionHandler handler) {
    const std::lock_guard lock(handlerMutex());
    installedHandler() = std::move(handler);
}

std::string LibraryHolder::describe(std::thread::id thread) const {
    std::ostringstream text;
    text << (thread == windowThread_ ? "the window's thread " : "worker thread ") << thread;
    return text.str();
}

}  // namespace kv::diag
