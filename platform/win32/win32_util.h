// Small helpers shared by the Windows backend: UTF-16 text in and out of the W functions, the
// registry's predefined keys, owned kernel handles, and functions looked up at run time.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <utility>

#include "kv/platform/types.h"

namespace kv::platform::win32 {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "the W functions take UTF-16");

// A NUL-terminated copy of UTF-16 text for the W functions (the interface's views need not be
// terminated).
inline std::wstring wide(std::u16string_view text) { return std::wstring(text.begin(), text.end()); }
inline std::u16string fromWide(const wchar_t* text, size_t length) { return std::u16string(text, text + length); }
inline std::u16string fromWide(const std::wstring& text) { return fromWide(text.data(), text.size()); }

// The predefined keys are sign-extended 32-bit values (HKEY_LOCAL_MACHINE is 0xFFFFFFFF80000002
// in a 64-bit process); accept them also zero-extended.
inline HKEY hkey(RegKeyHandle key) {
    const auto value = reinterpret_cast<uintptr_t>(key);
    if (value >= 0x80000000u && value <= 0x8000000Fu)
        return reinterpret_cast<HKEY>(static_cast<intptr_t>(static_cast<int32_t>(static_cast<uint32_t>(value))));
    return static_cast<HKEY>(key);
}

// A kernel handle closed when it goes out of scope.
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(HANDLE h) : h_(h) {}
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : h_(std::exchange(other.h_, nullptr)) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) reset(std::exchange(other.h_, nullptr));
        return *this;
    }
    ~UniqueHandle() { reset(); }

    HANDLE get() const { return h_; }
    explicit operator bool() const { return h_ != nullptr && h_ != INVALID_HANDLE_VALUE; }
    void reset(HANDLE h = nullptr) {
        if (*this) {
            // Closing must not disturb the error the caller is about to read.
            const DWORD error = GetLastError();
            CloseHandle(h_);
            SetLastError(error);
        }
        h_ = h;
    }

private:
    HANDLE h_ = nullptr;
};

// A manual-reset event, unsignalled, for one overlapped transfer.
inline UniqueHandle newEvent() { return UniqueHandle(CreateEventW(nullptr, TRUE, FALSE, nullptr)); }

// A function of a system module looked up by name at run time; null when the module does not
// offer it.
template <typename Fn>
Fn* systemFunction(const wchar_t* module, const char* name) {
    HMODULE m = GetModuleHandleW(module);
    if (!m) return nullptr;
    // Through the generic function pointer type, which every function pointer converts to.
    return reinterpret_cast<Fn*>(reinterpret_cast<void (*)()>(GetProcAddress(m, name)));
}

}  // namespace kv::platform::win32
