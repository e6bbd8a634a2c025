// Hand-overs ThreadSanitizer cannot see by itself. Qt's libraries are not built with the
// sanitizer and its queues lock with futexes, so an object built on one thread and passed through
// Qt's event queue to another looks unsynchronised. The thread that hands it over releases it
// once it is complete; the thread that takes it acquires it before reading anything of it.
// Without the sanitizer both are nothing.
#pragma once

#if defined(__SANITIZE_THREAD__)
#define KV_TSAN_HANDOVER 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define KV_TSAN_HANDOVER 1
#endif
#endif

#ifdef KV_TSAN_HANDOVER
extern "C" void __tsan_acquire(void* addr);
extern "C" void __tsan_release(void* addr);
#endif

namespace kv::ui {

inline void releaseHandover([[maybe_unused]] const void* object) {
#ifdef KV_TSAN_HANDOVER
    __tsan_release(const_cast<void*>(object));
#endif
}

inline void acquireHandover([[maybe_unused]] const void* object) {
#ifdef KV_TSAN_HANDOVER
    __tsan_acquire(const_cast<void*>(object));
#endif
}

}  // namespace kv::ui
