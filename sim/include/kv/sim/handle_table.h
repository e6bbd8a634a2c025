// Opaque handle values for the objects the simulated host hands out (device channels, registry
// keys, service handles, device lists). Values never repeat within a process.
#pragma once

#include <cstdint>
#include <map>
#include <utility>

namespace kv::sim {

uint64_t nextHandleValue();

template <typename T>
class HandleTable {
public:
    void* add(T object) {
        const uint64_t value = nextHandleValue();
        objects_.emplace(value, std::move(object));
        return reinterpret_cast<void*>(static_cast<uintptr_t>(value));
    }
    T* find(void* handle) {
        auto it = objects_.find(static_cast<uint64_t>(reinterpret_cast<uintptr_t>(handle)));
        return it == objects_.end() ? nullptr : &it->second;
    }
    bool remove(void* handle) { return objects_.erase(static_cast<uint64_t>(reinterpret_cast<uintptr_t>(handle))) > 0; }
    void clear() { objects_.clear(); }
    template <typename F>
    void forEach(F&& f) {
        for (auto& [k, v] : objects_) f(v);
    }

private:
    std::map<uint64_t, T> objects_;
};

}  // namespace kv::sim
